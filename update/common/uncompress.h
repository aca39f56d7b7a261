// Turning a downloaded gzip file into the plain file it stands for.
#ifndef QUILL_UPDATE_COMMON_UNCOMPRESS_H
#define QUILL_UPDATE_COMMON_UNCOMPRESS_H

#include <stdio.h>

#include <string>

#include <zlib.h>

// Copies the whole gzip stream to the output, then closes the output and the
// gzip file, whatever happened. True only when a complete gzip stream was
// copied and both closed cleanly: a truncated or corrupt stream, or input
// that is no gzip stream at all, is a failure.
bool gz_uncompress(gzFile gz_file, FILE* out_file);
// Writes the plain file beside the compressed one (name up to its first
// ".gz") and deletes the compressed file. A failed uncompression leaves no
// plain file behind, so nothing incomplete can pass for a finished download.
bool uncompress_it(const std::string& gz_path);
// uncompress_it, then moves the plain file to the destination, trying 200
// times 25 ms apart while the destination is in the way. With keep_in_place
// the plain file stays where it was written.
bool uncompress_and_move_local_file(const std::string& gz_path, const std::string& destination,
                                    bool keep_in_place);

#endif

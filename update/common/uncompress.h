// Turning a downloaded gzip file into the plain file it stands for.
#ifndef QUILL_UPDATE_COMMON_UNCOMPRESS_H
#define QUILL_UPDATE_COMMON_UNCOMPRESS_H

#include <stdint.h>
#include <stdio.h>

#include <string>

#include <zlib.h>

// Copies the whole gzip stream to the output, then closes the output and the
// gzip file, whatever happened. True only when a complete gzip stream was
// copied and both closed cleanly: a truncated or corrupt stream, or input
// that is no gzip stream at all, is a failure.
bool gz_uncompress(gzFile gz_file, FILE* out_file);
// The same, failing (with *over_limit set) as soon as the output would pass
// limit bytes.
bool gz_uncompress(gzFile gz_file, FILE* out_file, uint64_t limit, bool* over_limit);
// The most plain bytes a compressed file of compressed_size bytes may give
// on a disk with free_space bytes free: the free space less a margin, and
// no more than a ratio to the compressed size that no real file reaches
// (small files are always allowed a few megabytes).
uint64_t uncompressed_bound(uint64_t compressed_size, uint64_t free_space);
// Writes the plain file beside the compressed one (name up to its first
// ".gz") and deletes the compressed file. A failed uncompression leaves no
// plain file behind, so nothing incomplete can pass for a finished download.
// Output past uncompressed_bound fails it, before a small hostile file can
// fill the disk.
bool uncompress_it(const std::string& gz_path);
// uncompress_it, then moves the plain file to the destination, trying 200
// times 25 ms apart while the destination is in the way. With keep_in_place
// the plain file stays where it was written.
bool uncompress_and_move_local_file(const std::string& gz_path, const std::string& destination,
                                    bool keep_in_place);

#endif

// Turning a downloaded gzip file into the plain file it stands for.
#ifndef QUILL_UPDATE_COMMON_UNCOMPRESS_H
#define QUILL_UPDATE_COMMON_UNCOMPRESS_H

#include <stdint.h>
#include <stdio.h>

#include <string>

#include <zlib.h>

class update_run_C;

// Copies the whole gzip stream to the output, then closes the output and the
// gzip file, whatever happened. True only when a complete gzip stream was
// copied and both closed cleanly: a truncated or corrupt stream, or input
// that is no gzip stream at all, is a failure.
// With a digest, every byte written is also added to it.
class md5_C;
bool gz_uncompress(gzFile gz_file, FILE* out_file, md5_C* digest = nullptr);
// The same, failing (with *over_limit set) as soon as the output would pass
// limit bytes.
bool gz_uncompress(gzFile gz_file, FILE* out_file, uint64_t limit, bool* over_limit,
                   md5_C* digest = nullptr);
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
bool uncompress_it(update_run_C& run, const std::string& gz_path);
// uncompress_it, then moves the plain file to the destination, trying 200
// times 25 ms apart while the destination is in the way. With keep_in_place
// the plain file stays where it was written.
bool uncompress_and_move_local_file(update_run_C& run, const std::string& gz_path,
                                    const std::string& destination, bool keep_in_place);

// Moves a checked file to its destination, trying 200 times 25 ms apart
// while the destination is still held by a program that is closing.
bool move_into_place(update_run_C& run, const std::string& from, const std::string& to);

// Places a download only once its content is known to be right: writes the
// plain content of gz_path into staging (a name in the root folder),
// deleting gz_path, and moves staging to destination only when the content
// has the digest expected_md5 (32 lower-case hex digits). A damaged stream
// or another digest deletes staging, leaves destination as it was and sets
// wrong_content: the copy, not the disk, was at fault. content_md5 receives
// the digest of a complete content, "" when there was none.
bool uncompress_verify_and_move(update_run_C& run, const std::string& gz_path,
                                const std::string& staging, const std::string& destination,
                                const std::string& expected_md5, bool& wrong_content,
                                std::string& content_md5);

#endif

// Name rules of the local tree: the last path component, character
// replacement, the ".gz" suffix of downloads and the MD5 suffix of listed
// names.
#ifndef QUILL_UPDATE_COMMON_FILE_NAMES_H
#define QUILL_UPDATE_COMMON_FILE_NAMES_H

#include <string>

class update_run_C;

// The text after the last backslash ('C:\game\a.txt' gives 'a.txt'). False
// when there is no backslash or nothing follows it.
bool convert_filename_from_absolute_2_relative(update_run_C& run, const std::string& path,
                                               std::string& name);
// Replaces, in place, every pattern character by the replacement character.
// Both must be exactly one character. True when at least one was replaced.
bool replace_this_char_in_string(update_run_C& run, std::string& text, const std::string& pattern,
                                 const std::string& replacement);
// Splits a downloaded name at its first ".gz": 'a.gz.tmp' gives 'a' and
// '.gz.tmp'. False when there is no ".gz".
bool convert_name_gz_2_normal(update_run_C& run, const std::string& gz_name,
                              std::string& normal_name, std::string& gz_part);
// Appends ".gz". Always true.
bool convert_name_normal_2_gz(const std::string& normal_name, std::string& gz_name);
// The name without the part after its last dot (the MD5 of the content), or
// "ERROR" when it has no dot.
std::string md5_2_normal(update_run_C& run, const std::string& name);

#endif

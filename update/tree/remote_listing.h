// Fetching the reference listing and version from the mirrors into the
// root folder. connection_failed tells, after a failure, whether no mirror
// could be reached (true) or one was reached but did not have the file.
#ifndef QUILL_UPDATE_TREE_REMOTE_LISTING_H
#define QUILL_UPDATE_TREE_REMOTE_LISTING_H

#include <string>

class update_run_C;

// "ls.txt" of the mirror in use into "ls_remote.txt".
bool get_remote_ls_txt_file(update_run_C& run, bool& connection_failed);
// get_remote_ls_txt_file tried once per mirror of the server list.
bool get_remote_ls_txt_file_CLEVER(update_run_C& run, bool& connection_failed);
// "ls_compressed.txt.gz" of the mirror in use, under the same name.
bool get_remote_compressed_ls_txt_file(update_run_C& run, bool& connection_failed);
// "version.txt" of the mirror in use, kept in the root folder; version
// receives its first line without the line end.
bool get_remote_version_txt_file(update_run_C& run, bool& connection_failed, std::string& version);
// The reading part of it: the first line of a local "version.txt", cut at
// its first line end.
bool read_version_txt(update_run_C& run, const std::string& path, std::string& version);

#endif

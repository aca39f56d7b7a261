// The listing files of the installation tree ("ls.txt" format): one line per
// folder and per file, each file named by its relative path, ".gz", a dot
// and the MD5 of its plain content, so that a changed file carries a new
// name. The updater writes the local listing and reads the reference one;
// quill-publish writes the reference one with the same helpers. A listing
// names paths in code page 949 bytes on every system (qp::name_to_cp949);
// the line helpers take names in that form, the maps hold them as this
// system names its files.
#ifndef QUILL_UPDATE_TREE_LS_TXT_H
#define QUILL_UPDATE_TREE_LS_TXT_H

#include <stdint.h>

#include <string>

#include "common/remote_records.h"
#include "common/parcours.h"

class update_run_C;

// First token of a folder line.
extern const char* const ls_txt_directory_tag;
// Longest line a listing may hold, line feed excluded.
const int ls_txt_max_line = 511;

// True for the files of the root folder that no local listing names, so
// that the equalisation never deletes or replaces them.
bool is_protected_file(const std::string& relative_path);
// True for every file of the root folder that the updater reads or writes
// itself (the protected files among them), compared as Windows compares
// names. No listing may name one.
bool is_updater_own_file(const std::string& relative_path);

// The entry name of a file: relative path + ".gz." + hex digest.
std::string ls_txt_file_entry_name(const std::string& relative_path, const std::string& md5_hex);
// The relative path a file entry name stands for: the name without its
// ".gz." + digest ending. Unlike the first-".gz" rule of downloads, a file
// whose own name holds ".gz" comes back whole. False for a name without
// that ending.
bool plain_path_of_entry(const std::string& entry_name, std::string& plain);
// Whole lines, line feed included. A reference listing states each file's
// compressed size; the local listing leaves it out (size < 0).
std::string ls_txt_directory_line(const std::string& name);
std::string ls_txt_file_line(const std::string& entry_name, int64_t size);

// True when a relative path stays inside the installation folder: no
// absolute path, drive, empty, "." or ".." component, with either slash
// counting as a separator.
bool entry_path_stays_inside(const std::string& path);
// Why a relative path cannot travel through a listing and come back as the
// same file, or "" when it can. Code page 949 must have every character of
// it, blanks and commas separate tokens, the first ".gz" ends the plain
// name, the root-level protected files are never replaced.
std::string entry_path_problem(const std::string& relative_path);

// Walks the tree below root into names (relative path -> 1 folder, 0 file;
// files under their entry names) and writes the local listing "ls.txt" in
// the working directory. False when the walk, the writing or the check that
// every listed file exists fails.
bool create_ls_txt_file(update_run_C& run, const std::string& root,
                        const std::string& compressed_tree_name, name_map_C& names);

// Reads a reference listing: the first line is the version (line end
// removed), then folder and file lines. False, with the reason in the log,
// for a file that cannot be read, a line too long, a file without a valid
// size, an entry naming anything outside the installation folder, a ".gz"
// before the last component, a file name that is not "name.gz." and an
// MD5, two entries for one path (compared as Windows compares names), an
// entry for a file of the updater, a Windows device name, or a name that is
// not code page 949 or has no form on this system; the
// maps may then hold part of the listing and must be discarded.
bool from_ls_txt_2_map_with_file_size(update_run_C& run, const std::string& path, name_map_C& names,
                                      record_map_C& records, std::string& version);

// Two version texts are equal when their leading numbers are equal in
// single precision ('1.10' and '1.1'; '1.2a' and '1.2'; no number reads 0).
bool versions_are_equal(const std::string& first, const std::string& second);

#endif

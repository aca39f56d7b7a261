// Files and folders with Windows semantics on every system. Names are narrow
// Windows-form paths: either slash or backslash separates folders, relative
// names start at the current directory.
#ifndef QUILL_PLATFORM_FILE_H
#define QUILL_PLATFORM_FILE_H

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace qp {

// An open file. kInvalidFile marks "no file", as INVALID_HANDLE_VALUE does.
typedef void* FileHandle;
extern const FileHandle kInvalidFile;

// Opens name for writing only, creating it when missing, and sets the file
// position to its end. Other openers may read it meanwhile. Returns
// kInvalidFile on failure (last_error() tells why).
FileHandle file_open_append(const char* name);
// Opens an existing file for reading only. kInvalidFile on failure.
FileHandle file_open_read(const char* name);
// Writes size bytes at the file position. True when the system accepted the
// write; *written receives the count actually written (may be short when the
// disk is full).
bool file_write(FileHandle file, const void* data, uint32_t size, uint32_t* written);
// Reads up to size bytes. True on success, with *read_count 0 at the end of
// the file; false on failure with *read_count 0.
bool file_read(FileHandle file, void* buffer, uint32_t size, uint32_t* read_count);
// Closes the handle. False when it was not an open file.
bool file_close(FileHandle file);

// The system's error code of the calling thread's last failed call.
uint32_t last_error();

// True when a file or folder of that name exists.
bool path_exists(const char* name);
// True when name is an existing folder.
bool is_directory(const char* name);
// Deletes a file (never a folder). False when it is missing or cannot go.
bool delete_file(const char* name);
// Creates one folder; its parent must exist. False when it already exists or
// cannot be made.
bool create_directory(const char* name);
// The process's current directory as the system spells it, without a
// trailing separator unless it is a root, or "" when it cannot be read.
std::string current_directory();
// Changes the process's current directory. False when it cannot.
bool set_current_directory(const char* name);

struct DirEntry {
    std::string name; // the bare name, without the folder
    bool is_directory;
};

// Lists the entries of a folder whose names match a wildcard, as in
// "QUILL_NETWORK_LOG\\*.log". The wildcard follows the Windows rules of
// wildcard_match. "." and ".." are never listed. Returns false when the
// folder cannot be read; a folder without matching names gives true and an
// empty list.
bool find_files(const char* pattern, std::vector<DirEntry>* out);
// True when at least one entry matches; stops at the first.
bool any_file_matches(const char* pattern);

// Windows wildcard matching of one name: '*' stands for any run of
// characters, '?' for exactly one, letters compare without regard to case,
// and a pattern ending in ".*" also matches the name without that ending (so
// "*.*" matches every name, with or without a dot).
bool wildcard_match(const char* pattern, const char* name);

// Gives a file the "normal" attributes: not read-only, not hidden, not
// system, so that it can be replaced or deleted. A symbolic link is left as
// it is and never passes the change on to what it points at. False when the
// name does not exist or the change is refused.
bool make_writable(const char* name);
// gzip keeps no file modes: gives a file that holds a program (an ELF image
// or a "#!" script) the execute permission wherever it has read permission.
// Other files, and every file on Windows, where the name decides, are left
// as they are. False when the file cannot be read or its mode changed.
bool mark_program_executable(const char* name);
// Lets only the file's owner read or write it (mode 0600), for a secret
// such as a private key. Windows keeps the rights the folder gives: true.
bool restrict_to_owner(const char* name);
// Removes an empty folder. A link to a folder (symbolic link or junction) is
// removed itself; the folder it points at stays untouched. False when the
// folder is missing, not empty, or not a folder.
bool remove_directory(const char* name);
// Moves a file or folder to a new name. Never replaces anything: false when
// the new name already exists, when the old one is missing, or when the move
// cannot be made; a failed move leaves both names as they were.
bool move_file(const char* from, const char* to);
// Copies a file's content to a new file. Never replaces anything: false when
// the new name already exists or the old one is missing or a folder. A copy
// that fails half-way leaves no new file behind.
bool copy_file(const char* from, const char* to);
// True when name itself is a symbolic link, junction or other reparse point,
// whatever it points at, even nothing. A walk must not descend into one: it
// may lead anywhere outside the tree being walked.
bool is_symbolic_link(const char* name);
// True when following relative (a path below root) would pass through a
// link that leads out of root: a symbolic link or junction whose target lies
// outside root, or whose target cannot be resolved (a dangling link, a loop).
// Every existing component is checked, the last one included; the walk
// stops at the first component that does not exist, since nothing below it
// can be a link yet. Windows does not resolve a reparse point here: any one
// on the path counts as leading out.
bool path_leaves_folder(const char* root, const char* relative);
// Moves a file to a new name, replacing a file of that name in one step, so
// that a reader sees either the old file or the new one, never a mixture
// and never nothing. False, leaving both names as they were, when the move
// cannot be made.
bool replace_file(const char* from, const char* to);
// Opens a C stream as fopen does, with the Windows rule that a folder never
// opens, whatever the mode. Null on failure.
FILE* open_stream(const char* name, const char* mode);
// The whole content of a file; false when it cannot be read or holds more
// than limit bytes.
bool read_whole_file(const char* name, size_t limit, std::string* content);
// Writes content as the whole file (binary), replacing what was there.
// False when any of it could not be written.
bool write_whole_file(const char* name, const std::string& content);
// True when the stream writes to a terminal (a console on Windows), where
// progress shown in place makes sense.
bool stream_is_terminal(FILE* stream);
// The name as the C library and zlib of this system want it: unchanged on
// Windows, with every backslash turned into a slash elsewhere.
std::string system_path(const char* name);

} // namespace qp

#endif

// What the updater may delete in its installation folder: the files and
// folders it placed there or found named by a reference listing. Everything
// else belongs to the player and stays. The record lives in the folder as
// "ls_placed.txt", one of the updater's own files; it is replaced in one
// step, so that a run killed while writing it leaves the previous record.
#ifndef QUILL_UPDATE_COMMON_PLACED_FILES_C_H
#define QUILL_UPDATE_COMMON_PLACED_FILES_C_H

#include <map>
#include <string>

class update_run_C;

class placed_files_C {
public:
    // The record and the name it is written under before it replaces the
    // record, both in the root folder.
    static const char* const file_name;
    static const char* const new_file_name;

    // Reads the record of the working directory. False, leaving the record
    // empty, when there is none or it cannot be read.
    bool load();
    // Writes the record into the working directory. False, leaving the
    // record on disk as it was, when it cannot be written.
    bool save(update_run_C& run);
    // Empties the record in memory.
    void clear();

    // Paths relative to the root, Windows form. Names compare as Windows
    // compares them: without regard to case.
    void add_file(const std::string& path);
    void add_folder(const std::string& path);
    void forget_file(const std::string& path);
    void forget_folder(const std::string& path);
    bool has_file(const std::string& path) const;
    bool has_folder(const std::string& path) const;
    // True when some recorded file has this last component ("a.dat" for
    // "data\a.dat"): its compressed copy passes through the root as
    // "a.dat.gz" while it is being placed.
    bool has_file_named(const std::string& last_component) const;
    // True when save() has something to write.
    bool changed() const { return changed_; }

    size_t file_count() const { return files_.size(); }
    size_t folder_count() const { return folders_.size(); }

private:
    // Folded name -> name as first recorded.
    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> folders_;
    bool changed_ = false;
};

// The name as Windows compares it: ASCII letters folded to lower case.
std::string folded_name(const std::string& name);

#endif

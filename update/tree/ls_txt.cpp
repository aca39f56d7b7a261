#include "tree/ls_txt.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <vector>

#include "common/file_names.h"
#include "common/local_files.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/placed_files_C.h"
#include "common/settings.h"
#include "common/tokenizer.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"
#include "quill/platform/text.h"

const char* const ls_txt_directory_tag = "[201274_DIR]";

namespace {

const char* const protected_names[] = {
    "gzip.exe",          "toto_copy_compress.bat", "ls_remote.txt",
    "report.txt",        "toto_copy_compress_client.bat", "toto_uncompress_move.bat",
    "toto_rename.bat",   "toto_del.bat",           "toto_copy.bat",
    "ls.txt",            "version.txt",            "toto_compress.bat",
    "toto_uncompress.bat", "log_safe_string.txt",  "hardware_report.txt",
    "ls_static.txt",     "gl_Info.txt",            "log_client.txt",
    "ls_static.sig",     "ls_remote.sig",
};

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// Files of the root folder that the updater itself reads or writes: a
// listing that named one would have the updater overwrite or delete it.
const char* const own_file_names[] = {
    "ver_C",       "ls.txt",  "ls_remote.txt", "ls_static.txt", "ls_compressed.txt",
    "ls_compressed.txt.gz", "version.txt", "report.txt", "pref_201274.txt",
    "ls_staged",
};

// Names Windows opens as devices, whatever the folder and extension.
const char* const device_names[] = {"con",  "prn",  "aux",  "nul",  "com1",   "com2",    "com3",
                                    "com4", "com5", "com6", "com7", "com8",   "com9",    "lpt1",
                                    "lpt2", "lpt3", "lpt4", "lpt5", "lpt6",   "lpt7",    "lpt8",
                                    "lpt9", "conin$", "conout$", "clock$"};

std::vector<std::string> components_of(const std::string& path) {
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (is_separator(c))
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool is_device_name(const std::string& component) {
    // "nul.txt" and "NUL " open the device as well.
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.'))
        base.pop_back();
    base = folded_name(base);
    for (const char* device : device_names)
        if (base == device)
            return true;
    return false;
}

bool is_md5_hex(const std::string& text) {
    if (text.size() != 32)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// Why a listing entry is refused, or "" for an entry the updater
// can place without harm. plain is the path the entry stands for.
std::string entry_refusal(const std::string& name, bool directory, const std::string& plain) {
    const std::vector<std::string> parts = components_of(name);
    for (size_t i = 0; i < parts.size(); ++i)
        if ((directory || i + 1 < parts.size()) && parts[i].find(".gz") != std::string::npos)
            return ".gz BEFORE THE LAST COMPONENT";
    if (!directory) {
        const std::string& last = parts.back();
        const size_t gz = last.find(".gz");
        if (gz == 0 || gz == std::string::npos || last.compare(gz, 4, ".gz.") != 0 ||
            !is_md5_hex(last.substr(gz + 4)))
            return "FILE ENTRY NOT NAMED name.gz.MD5";
    }
    for (const std::string& part : components_of(plain))
        if (is_device_name(part))
            return "WINDOWS DEVICE NAME";
    if (is_updater_own_file(plain))
        return "ENTRY NAMES A FILE OF THE UPDATER";
    return "";
}

// The line without its line feed and the carriage return before it.
std::string without_line_end(const char* line) {
    std::string text = line;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

// A listing names paths in code page 949 on every system; the maps hold
// them as this system names its files.
bool name_of_listing(update_run_C& run, const std::string& listed, std::string& name) {
    if (qp::name_from_cp949(listed, &name))
        return true;
    run.log.log_format("from_ls_txt_2_map_with_file_size  [NAME NOT IN CODE PAGE 949 : %s]",
                       listed.c_str());
    return false;
}

bool fail_unsafe_entry(update_run_C& run, const std::string& name) {
    run.log.log_format(
        "from_ls_txt_2_map_with_file_size  [ENTRY OUTSIDE THE INSTALLATION FOLDER : %s]",
        name.c_str());
    return false;
}

bool accept_entry(update_run_C& run, const std::string& name, bool directory,
                  const std::string& plain, std::set<std::string>& seen) {
    const std::string refusal = entry_refusal(name, directory, plain);
    if (!refusal.empty()) {
        run.log.log_format("from_ls_txt_2_map_with_file_size  [%s : %s]", refusal.c_str(),
                           name.c_str());
        return false;
    }
    if (!seen.insert(folded_name(plain)).second) {
        run.log.log_format("from_ls_txt_2_map_with_file_size  [TWO ENTRIES FOR ONE PATH : %s]",
                           name.c_str());
        return false;
    }
    return true;
}

} // namespace

bool is_updater_own_file(const std::string& relative_path) {
    const std::string folded = folded_name(relative_path);
    for (const char* name : own_file_names)
        if (folded == folded_name(name))
            return true;
    for (const char* name : protected_names)
        if (folded == folded_name(name))
            return true;
    return folded == folded_name(g_updater_exe_name) ||
           folded == folded_name(placed_files_C::file_name) ||
           folded == folded_name(placed_files_C::new_file_name);
}

bool is_protected_file(const std::string& relative_path) {
    if (relative_path == g_updater_exe_name || relative_path == placed_files_C::file_name ||
        relative_path == placed_files_C::new_file_name)
        return true;
    for (const char* name : protected_names)
        if (relative_path == name)
            return true;
    return false;
}

std::string ls_txt_file_entry_name(const std::string& relative_path, const std::string& md5_hex) {
    std::string gz_name;
    convert_name_normal_2_gz(relative_path, gz_name);
    return gz_name + "." + md5_hex;
}

bool plain_path_of_entry(const std::string& entry_name, std::string& plain) {
    const size_t dot = entry_name.rfind('.');
    if (dot == std::string::npos || dot < 3 || entry_name.compare(dot - 3, 3, ".gz") != 0)
        return false;
    plain = entry_name.substr(0, dot - 3);
    return true;
}

std::string ls_txt_directory_line(const std::string& name) {
    return std::string(ls_txt_directory_tag) + " " + name + "\n";
}

std::string ls_txt_file_line(const std::string& entry_name, int64_t size) {
    if (size < 0)
        return entry_name + "\n";
    return entry_name + " " + std::to_string(size) + "\n";
}

bool entry_path_stays_inside(const std::string& path) {
    if (path.empty() || path.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < path.size() && !is_separator(path[end]))
            ++end;
        const std::string component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

std::string entry_path_problem(const std::string& path) {
    if (!entry_path_stays_inside(path))
        return "not a path inside the tree";
    // What the updater reads is the listing's form of the name.
    std::string relative_path;
    if (!qp::name_to_cp949(path, &relative_path))
        return "listings and mirrors name files in code page 949, which lacks a character "
               "of this name";
    for (char c : relative_path) {
        if (c == ' ' || c == ',')
            return "blanks and commas separate the fields of a listing line";
        if (c == '\r' || c == '\n')
            return "line ends cannot stand in a listing line";
    }
    if (relative_path.find(".gz") != std::string::npos)
        return "the updater takes everything from the first \".gz\" on for the compression "
               "suffix";
    bool has_letter_or_digit = false;
    for (char c : relative_path)
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            has_letter_or_digit = true;
    if (!has_letter_or_digit)
        return "the listing reader drops names without a letter or digit";
    if (is_protected_file(relative_path))
        return "the updater never replaces this file of the installation folder";
    return "";
}

bool create_ls_txt_file(update_run_C& run, const std::string& root,
                        const std::string& compressed_tree_name, name_map_C& names) {
    run.log.log_line("create_ls_txt_file [IN]");
    run.walk_pattern = "*.*";
    if (!local_file_is_directory(run, root)) {
        run.log.log_format("create_mirror_compressed_tree    [NORMAL PATH DOESN'T EXIST : %s]",
                           root.c_str());
        return false;
    }
    name_map_C walk;
    if (!parcours_recursif_local(run, root, walk)) {
        run.log.log_format("create_ls_txt_file(%s, %s)   [FAILED]", root.c_str(),
                           compressed_tree_name.c_str());
        return false;
    }
    FILE* listing = qp::open_stream("ls.txt", "w");
    if (!listing) {
        run.log.log_line("create_ls_txt_file  [ERROR : CAN'T CREATE (OPEN) THE ls.txt FILE]");
        return false;
    }
    // The lines go in the order of the listing's own bytes, which is the
    // same on every system. A name that code page 949 cannot write is none
    // a reference listing can hold: the player's, left out and left alone.
    std::map<std::string, const name_map_C::value_type*> by_listed_name;
    for (const auto& entry : walk) {
        std::string listed;
        if (qp::name_to_cp949(entry.first, &listed))
            by_listed_name.emplace(std::move(listed), &entry);
        else
            run.log.log_format("create_ls_txt_file  [NAME NOT IN CODE PAGE 949, LEFT ALONE : %s]",
                               entry.first.c_str());
    }
    bool written = true;
    md5_C md5;
    for (const auto& listed_entry : by_listed_name) {
        const std::string& listed = listed_entry.first;
        const name_map_C::value_type& entry = *listed_entry.second;
        std::string line;
        if (entry.second == 1) {
            line = ls_txt_directory_line(listed);
            names.insert(name_map_C::value_type(entry.first, 1));
        } else {
            if (is_protected_file(entry.first))
                continue;
            std::string digest;
            if (!md5.doit(run, root, entry.first, digest))
                digest = "UNSET";
            line = ls_txt_file_line(ls_txt_file_entry_name(listed, digest), -1);
            names.insert(name_map_C::value_type(ls_txt_file_entry_name(entry.first, digest), 0));
        }
        if (fputs(line.c_str(), listing) == EOF)
            written = false;
    }
    if (fclose(listing) != 0)
        written = false;
    if (!written) {
        // A listing cut short would describe another tree.
        run.log.log_line("create_ls_txt_file  [ERROR : CAN'T WRITE THE ls.txt FILE]");
        return false;
    }

    bool coherent = true;
    for (const auto& entry : names) {
        if (entry.second != 0)
            continue;
        std::string plain;
        if (!plain_path_of_entry(entry.first, plain) || !local_file_exists(run, plain)) {
            run.log.log_format("create_ls_txt_file  [INCOHERENCY : FILE DOESN'T EXIST : %s]",
                               plain.c_str());
            coherent = false;
        }
    }
    return coherent;
}

bool from_ls_txt_2_map_with_file_size(update_run_C& run, const std::string& path, name_map_C& names,
                                      record_map_C& records, std::string& version) {
    run.log.log_format("from_ls_txt_2_map_with_file_size(filename=%s)", path.c_str());
    FILE* file = qp::open_stream(path.c_str(), "r");
    if (!file) {
        run.log.log_format("from_ls_txt_2_map_with_file_size(%s)  [ERROR : CAN'T OPEN FILE]",
                           path.c_str());
        return false;
    }
    char line[ls_txt_max_line + 1];
    // Plain paths met so far, as Windows compares them.
    std::set<std::string> seen;
    bool ok = true;
    bool first = true;
    while (ok) {
        // A zero byte inside the line would hide its length from strlen:
        // only fgets' own end mark in the last slot tells a full buffer.
        line[sizeof line - 1] = 'x';
        if (!fgets(line, sizeof line, file))
            break;
        const bool filled = line[sizeof line - 1] == '\0';
        if (filled && line[sizeof line - 2] != '\n' && !feof(file)) {
            // The rest of the line would read as a line of its own.
            run.log.log_line("from_ls_txt_2_map_with_file_size  [LINE TOO LONG]");
            ok = false;
            break;
        }
        if (first) {
            version = without_line_end(line);
            first = false;
            continue;
        }
        std::vector<std::string> tokens;
        if (!tokenize(run, line, 0, tokens)) {
            run.log.log_line("from_ls_txt_2_map_with_file_size  [TOKENIZE FAILED]");
            ok = false;
            break;
        }
        if (tokens.empty())
            continue;
        if (tokens[0] == ls_txt_directory_tag) {
            if (tokens.size() < 2) {
                run.log.log_line(
                    "from_ls_txt_2_map_with_file_size  [BAD FILE FORMAT (NO DIRECTORY NAME)]");
                ok = false;
                break;
            }
            std::string name;
            if (!name_of_listing(run, tokens[1], name)) {
                ok = false;
                break;
            }
            if (!entry_path_stays_inside(name)) {
                ok = fail_unsafe_entry(run, name);
                break;
            }
            if (!accept_entry(run, name, true, name, seen)) {
                ok = false;
                break;
            }
            names.insert(name_map_C::value_type(name, 1));
            file_record_C record;
            record.name = name;
            record.directory = 1;
            record.size = -1;
            records.insert(record_map_C::value_type(name, record));
            continue;
        }
        std::string name;
        if (!name_of_listing(run, tokens[0], name)) {
            ok = false;
            break;
        }
        long long size = -1;
        if (tokens.size() >= 2) {
            const char* text = tokens[1].c_str();
            char* end = nullptr;
            errno = 0;
            const long long value = strtoll(text, &end, 10);
            if (end != text && errno == 0 && value <= INT32_MAX)
                size = value;
        }
        if (size < 0) {
            run.log.log_line(
                "from_ls_txt_2_map_with_file_size  [BAD FILE FORMAT (CANT RETRIEVE SIZE)]");
            ok = false;
            break;
        }
        // The plain name is where the file will be written.
        std::string plain;
        std::string gz_part;
        if (!entry_path_stays_inside(name) ||
            !convert_name_gz_2_normal(run, name, plain, gz_part) ||
            !entry_path_stays_inside(plain)) {
            ok = fail_unsafe_entry(run, name);
            break;
        }
        if (!accept_entry(run, name, false, plain, seen)) {
            ok = false;
            break;
        }
        names.insert(name_map_C::value_type(name, 0));
        file_record_C record;
        record.name = name;
        record.directory = 0;
        record.size = static_cast<int32_t>(size);
        records.insert(record_map_C::value_type(name, record));
    }
    if (ok && ferror(file)) {
        run.log.log_format("from_ls_txt_2_map_with_file_size(%s)  [ERROR : CAN'T READ FILE]",
                           path.c_str());
        ok = false;
    }
    fclose(file);
    return ok;
}

bool versions_are_equal(const std::string& first, const std::string& second) {
    const float a = static_cast<float>(atof(first.c_str()));
    const float b = static_cast<float>(atof(second.c_str()));
    return a == b;
}

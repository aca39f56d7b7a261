#include "common/placed_files_C.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"
#include "quill/platform/locale.h"
#include "quill/platform/text.h"

const char* const placed_files_C::file_name = "ls_placed.txt";
const char* const placed_files_C::new_file_name = "ls_placed.txt.new";

namespace {

// A folder line starts with the tag of the listings' folder lines.
const char folder_tag[] = "[201274_DIR] ";

std::string last_component_of(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string folded_name(const std::string& name) {
    std::string folded = name;
    // Character by character: the second byte of a Korean character may be
    // an ASCII letter, and folding it would make two names one.
    qp::lower_case(&folded[0], folded.size());
    return folded;
}

void placed_files_C::clear() {
    files_.clear();
    folders_.clear();
    changed_ = false;
}

bool placed_files_C::load() {
    clear();
    FILE* file = qp::open_stream(file_name, "rb");
    if (!file)
        return false;
    std::string content;
    std::vector<char> buffer(65536);
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), file)) > 0)
        content.append(buffer.data(), got);
    const bool read = !ferror(file);
    fclose(file);
    if (!read) {
        clear();
        return false;
    }
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        // A line without its line feed was never finished.
        if (end == std::string::npos)
            break;
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // The record names paths as listings do, in code page 949. A name
        // without a form here is not one this system placed: it stays.
        const bool folder = line.compare(0, strlen(folder_tag), folder_tag) == 0;
        std::string path;
        if (qp::name_from_cp949(folder ? line.substr(strlen(folder_tag)) : line, &path) &&
            !path.empty()) {
            if (folder)
                add_folder(path);
            else
                add_file(path);
        }
        start = end + 1;
    }
    changed_ = false;
    return true;
}

bool placed_files_C::save(update_run_C& run) {
    std::string content;
    std::string name;
    // Every recorded path came from a listing, so each has its form there.
    for (const auto& folder : folders_)
        if (qp::name_to_cp949(folder.second, &name))
            content += folder_tag + name + "\n";
    for (const auto& file : files_)
        if (qp::name_to_cp949(file.second, &name))
            content += name + "\n";
    FILE* file = qp::open_stream(new_file_name, "wb");
    if (!file) {
        run.log.log_format("placed_files_C::save  [CAN'T WRITE %s]", new_file_name);
        return false;
    }
    const bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool closed = fclose(file) == 0;
    if (!written || !closed || !qp::replace_file(new_file_name, file_name)) {
        qp::delete_file(new_file_name);
        run.log.log_format("placed_files_C::save  [CAN'T WRITE %s]", file_name);
        return false;
    }
    changed_ = false;
    return true;
}

void placed_files_C::add_file(const std::string& path) {
    if (files_.emplace(folded_name(path), path).second)
        changed_ = true;
}

void placed_files_C::add_folder(const std::string& path) {
    if (folders_.emplace(folded_name(path), path).second)
        changed_ = true;
}

void placed_files_C::forget_file(const std::string& path) {
    if (files_.erase(folded_name(path)) > 0)
        changed_ = true;
}

void placed_files_C::forget_folder(const std::string& path) {
    if (folders_.erase(folded_name(path)) > 0)
        changed_ = true;
}

bool placed_files_C::has_file(const std::string& path) const {
    return files_.count(folded_name(path)) > 0;
}

bool placed_files_C::has_folder(const std::string& path) const {
    return folders_.count(folded_name(path)) > 0;
}

bool placed_files_C::has_file_named(const std::string& last_component) const {
    const std::string wanted = folded_name(last_component);
    for (const auto& file : files_)
        if (folded_name(last_component_of(file.second)) == wanted)
            return true;
    return false;
}

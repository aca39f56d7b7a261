#include "common/file_names.h"

#include <exception>

#include "common/logger_C.h"
#include "common/update_run_C.h"

bool convert_filename_from_absolute_2_relative(update_run_C& run, const std::string& path,
                                               std::string& name) {
    run.log.log_format("convert_filename_from_absolute_2_relative(%s)", path.c_str());
    try {
        const size_t slash = path.rfind('\\');
        if (slash == std::string::npos || slash + 1 >= path.size()) {
            run.log.log_format(
                "convert_filename_from_absolute_2_relative  [FAILED BECAUSE WE CAN'T FIND A "
                "SLASH INTO %s]",
                path.c_str());
            return false;
        }
        name = path.substr(slash + 1);
        return true;
    } catch (const std::exception&) {
        run.log.log_line("convert_filename_from_absolute_2_relative  [EXCEPTION CATCHED]");
        return false;
    }
}

bool replace_this_char_in_string(update_run_C& run, std::string& text, const std::string& pattern,
                                 const std::string& replacement) {
    run.log.log_format("replace_this_char_in_string(%s, %s, %s)", text.c_str(), pattern.c_str(),
                       replacement.c_str());
    if (pattern.empty()) {
        run.log.log_line("replace_this_char_in_string   [ERROR 1: EMPTY PATTERN]");
        return false;
    }
    if (pattern.size() > 1) {
        run.log.log_line(
            "replace_this_char_in_string  [ERROR 2: PATTERN MUST HAVE EXACTLY SIZE = 1]");
        return false;
    }
    if (replacement.empty()) {
        run.log.log_line("replace_this_char_in_string   [ERROR 3: EMPTY PATTERN]");
        return false;
    }
    if (replacement.size() > 1) {
        run.log.log_line(
            "replace_this_char_in_string  [ERROR 4: PATTERN MUST HAVE EXACTLY SIZE = 1]");
        return false;
    }
    try {
        bool replaced = false;
        for (char& c : text) {
            if (c == pattern[0]) {
                c = replacement[0];
                replaced = true;
            }
        }
        return replaced;
    } catch (const std::exception&) {
        run.log.log_line("replace_this_char_in_string  [EXCEPTION CATCHED]");
        return false;
    }
}

bool convert_name_gz_2_normal(update_run_C& run, const std::string& gz_name,
                              std::string& normal_name, std::string& gz_part) {
    const size_t at = gz_name.find(".gz");
    if (at == std::string::npos) {
        run.log.log_format(
            "convert_name_gz_2_normal   [ERROR : file : %s : doesn't have a .gz part]",
            gz_name.c_str());
        return false;
    }
    normal_name = gz_name.substr(0, at);
    gz_part = gz_name.substr(at);
    run.log.log_format("convert_name_gz_2_normal : gz_filename: %s, normal_filename: %s",
                       gz_name.c_str(), normal_name.c_str());
    return true;
}

bool convert_name_normal_2_gz(const std::string& normal_name, std::string& gz_name) {
    gz_name = normal_name + ".gz";
    return true;
}

std::string md5_2_normal(update_run_C& run, const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        run.log.log_format("md5_2_normal  [ERROR : FILE HAS NO EXTENSION : %s]", name.c_str());
        return "ERROR";
    }
    // Parts of any length: a deep path may well pass 255 characters.
    const std::string normal_part = name.substr(0, dot);
    const std::string md5_part = name.substr(dot + 1);
    run.log.log_format("md5_2_normal: normal_part : %s   md5_part : %s (original name : %s)",
                       normal_part.c_str(), md5_part.c_str(), name.c_str());
    return normal_part;
}

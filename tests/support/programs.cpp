#include "support/programs.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "quill/platform/clock.h"

namespace fs = std::filesystem;

namespace quill_test {

std::string build_program(const std::string& file_name) {
    return std::string(QUILL_TEST_PROGRAM_DIR) + "/" + file_name;
}

std::string program_file_name(const std::string& base) {
    return base + QUILL_TEST_PROGRAM_SUFFIX;
}

std::string recorder_program() {
    return build_program(program_file_name("quill_record_parameters"));
}

void install_program(const std::string& program, const std::string& name) {
    fs::copy_file(program, name, fs::copy_options::overwrite_existing);
    fs::permissions(name, fs::perms::owner_all, fs::perm_options::add);
}

bool wait_for_file(const std::string& name, unsigned timeout_ms) {
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    for (;;) {
        std::error_code ignored;
        if (fs::exists(name, ignored))
            return true;
        if (real.tick_count() - start >= timeout_ms)
            return false;
        real.sleep(20);
    }
}

std::string recorded_parameters(const std::string& name, unsigned timeout_ms) {
    if (!wait_for_file(name, timeout_ms))
        return "(not started)";
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    for (;;) {
        std::ifstream in(name, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            return text.str();
        }
        if (real.tick_count() - start >= 5000)
            throw std::runtime_error("cannot read " + name);
        real.sleep(20);
    }
}

void remove_folder_once_free(const std::string& name, unsigned timeout_ms) {
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    for (;;) {
        std::error_code failed;
        fs::remove_all(name, failed);
        if (!failed)
            return;
        if (real.tick_count() - start >= timeout_ms)
            throw fs::filesystem_error("cannot remove the folder", fs::path(name), failed);
        real.sleep(50);
    }
}

void set_environment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

} // namespace quill_test

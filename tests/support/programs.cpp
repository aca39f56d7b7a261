#include "support/programs.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "quill/platform/clock.h"
#include "quill/platform/file.h"

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

namespace {

// Calls attempt until it succeeds, pausing between tries, for up to
// timeout_ms of real time; true when it succeeded.
template <typename Attempt>
bool keep_trying(unsigned timeout_ms, unsigned pause_ms, Attempt attempt) {
    qp::Clock& real = qp::system_clock();
    const uint32_t start = real.tick_count();
    for (;;) {
        if (attempt())
            return true;
        if (real.tick_count() - start >= timeout_ms)
            return false;
        real.sleep(pause_ms);
    }
}

} // namespace

bool wait_for_file(const std::string& name, unsigned timeout_ms) {
    return keep_trying(timeout_ms, 20, [&] {
        std::error_code ignored;
        return fs::exists(name, ignored);
    });
}

std::string recorded_parameters(const std::string& name, unsigned timeout_ms) {
    if (!wait_for_file(name, timeout_ms))
        return "(not started)";
    std::string text;
    if (!keep_trying(5000, 20, [&] { return qp::read_whole_file(name.c_str(), 1 << 20, &text); }))
        throw std::runtime_error("cannot read " + name);
    return text;
}

void remove_folder_once_free(const std::string& name, unsigned timeout_ms) {
    std::error_code failed;
    if (!keep_trying(timeout_ms, 50, [&] {
            fs::remove_all(name, failed);
            return !failed;
        }))
        throw fs::filesystem_error("cannot remove the folder", fs::path(name), failed);
}

void set_environment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

} // namespace quill_test

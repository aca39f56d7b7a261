// A fresh folder for one test, made the current directory for its life.
#ifndef QUILL_TESTS_SCRATCH_DIR_H
#define QUILL_TESTS_SCRATCH_DIR_H

#include <string>

namespace quill_test {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// Whole-file helpers for checking what the code under test wrote.
std::string read_file(const std::string& name);
void write_file(const std::string& name, const std::string& content);

} // namespace quill_test

#endif

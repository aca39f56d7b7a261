// A fresh folder for one test, made the current directory for its life.
#ifndef QUILL_TESTS_SCRATCH_DIR_H
#define QUILL_TESTS_SCRATCH_DIR_H

#include <stddef.h>

#include <string>
#include <vector>

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
// A text file with its line ends as "\n" (text streams write CR LF on
// Windows); "" when it cannot be read.
std::string read_text_file(const std::string& name);
// Bytes that gzip cannot shrink, the same in every run.
std::string incompressible(size_t size);
// The lines of a text, without their "\n"; a last line without one counts.
std::vector<std::string> lines_of(const std::string& text);
// Everything the network log holds, in the current directory.
std::string read_network_log();

} // namespace quill_test

#endif

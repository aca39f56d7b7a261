#include "support/scratch_dir.h"

#include <stdint.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace quill_test {

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path base = fs::temp_directory_path() / "quill-tests";
    fs::create_directories(base);
    fs::path candidate;
    do {
        candidate = base / ("t" + std::to_string(stamp) + "-" + std::to_string(++counter));
    } while (!fs::create_directory(candidate));
    path_ = candidate.string();
    previous_ = fs::current_path().string();
    fs::current_path(candidate);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

namespace {

// Opened by path, so that a Korean file name needs no conversion to the
// narrow code page on Windows.
std::string read_text(const fs::path& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return std::string();
    std::ostringstream content;
    content << in.rdbuf();
    const std::string raw = content.str();
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    return text;
}

} // namespace

std::string read_text_file(const std::string& name) {
    return read_text(fs::path(name));
}

std::string incompressible(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string read_network_log() {
    std::string text;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("QUILL_NETWORK_LOG", ignored))
        text += read_text(entry.path());
    return text;
}

void write_file(const std::string& name, const std::string& content) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

} // namespace quill_test

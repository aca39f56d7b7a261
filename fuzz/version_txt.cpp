// Arbitrary bytes as the mirror's "version.txt". The version read is a
// start of the file's first line and holds no line end (it goes on as a
// command line); a first line without line end, zero byte or end-of-file
// mark comes back whole.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "tree/remote_listing.h"
#include "reader_input.h"

namespace {

void require(bool condition) {
    if (!condition)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    update_run_C& run = quiet_run();
    const char* const name = "fuzz_version.txt";
    if (!write_input_file(name, data, size))
        return 0;

    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string version = "UNSET";
    const bool read = read_version_txt(run, name, version);
    if (size == 0)
        require(!read);
    if (!read)
        return 0;
    require(version.find_first_of("\r\n") == std::string::npos);
    require(version.size() < 600);
    require(text.compare(0, version.size(), version) == 0);
    if (size < 599 && text.find_first_of(std::string("\r\n\x1a\0", 4)) == std::string::npos)
        require(version == text);
    return 0;
}

// Replays fuzz inputs without libFuzzer, so that the ordinary builds and
// their test suites run every target over its checked-in seeds. Arguments
// are files or folders (every file in them, in name order); options, which
// start with '-', are left to the target. A folder that holds no file fails:
// a lost corpus must not pass unnoticed.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
#ifdef QUILL_FUZZ_INITIALIZE
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
#endif

namespace fs = std::filesystem;

int main(int argc, char** argv) {
#ifdef QUILL_FUZZ_INITIALIZE
    LLVMFuzzerInitialize(&argc, &argv);
#endif
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue;
        const fs::path named(argv[i]);
        if (!fs::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(named))
            if (entry.is_regular_file())
                found.push_back(entry.path());
        if (found.empty()) {
            fprintf(stderr, "no input in %s\n", named.string().c_str());
            return 1;
        }
        std::sort(found.begin(), found.end());
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    if (inputs.empty()) {
        fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        if (!in) {
            fprintf(stderr, "cannot read %s\n", input.string().c_str());
            return 1;
        }
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        printf("%s\n", input.filename().string().c_str());
        fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    printf("replayed %zu inputs\n", inputs.size());
    return 0;
}

// Arbitrary bytes as a reference listing: the parse must never read or
// write outside its buffers, and whatever it accepts names only paths
// inside the installation folder, with sizes that are not negative, under
// names that go back into a listing's code page 949.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "quill/platform/text.h"
#include "tree/ls_txt.h"
#include "reader_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    update_run_C& run = quiet_run();
    const char* const name = "fuzz_listing.txt";
    if (!write_input_file(name, data, size))
        return 0;

    name_map_C names;
    record_map_C records;
    std::string version;
    if (!from_ls_txt_2_map_with_file_size(run, name, names, records, version))
        return 0;
    if (names.size() != records.size())
        __builtin_trap();
    for (const auto& entry : records) {
        if (!entry_path_stays_inside(entry.first))
            __builtin_trap();
        if (entry.second.directory == 0 && entry.second.size < 0)
            __builtin_trap();
        if (names.find(entry.first) == names.end())
            __builtin_trap();
        std::string listed;
        if (!qp::name_to_cp949(entry.first, &listed))
            __builtin_trap();
    }
    if (version.find('\n') != std::string::npos)
        __builtin_trap();
    return 0;
}

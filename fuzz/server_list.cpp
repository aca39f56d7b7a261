// Arbitrary bytes as the server list file "ver_C", read by the loader as the
// updater reads it: from the working directory. Each input is written into a
// scratch folder that is the working directory only while the loader runs;
// crash reports still land where the fuzzer was started. The cipher must
// round-trip, and a list the writing tool accepts must load.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "common/logger_C.h"
#include "common/server_list.h"
#include "common/settings.h"

namespace fs = std::filesystem;

namespace {

fs::path g_scratch;
fs::path g_started_in;

void remove_scratch() {
    std::error_code ignored;
    fs::current_path(g_started_in, ignored);
    fs::remove_all(g_scratch, ignored);
}

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What the loader keeps must be usable words: not empty, no separator, no
// zero byte.
bool is_clean_token(const std::string& token) {
    if (token.empty())
        return false;
    for (char c : token)
        if (c == '\0' || is_separator(c))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    g_started_in = fs::current_path();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    g_scratch = fs::temp_directory_path() / ("quill-fuzz-server-list-" + std::to_string(stamp));
    fs::create_directories(g_scratch);
    atexit(remove_scratch);

    // The loader runs with the scratch folder as working directory; a crash
    // there must still leave its input where the fuzzer was started.
    bool has_prefix = false;
    for (int i = 1; i < *argc; ++i)
        if (strncmp((*argv)[i], "-artifact_prefix=", 17) == 0)
            has_prefix = true;
    if (!has_prefix) {
        static std::vector<char*> arguments;
        static std::string prefix = "-artifact_prefix=" + g_started_in.string() + "/";
        arguments.assign(*argv, *argv + *argc);
        arguments.push_back(&prefix[0]);
        arguments.push_back(nullptr);
        *argv = arguments.data();
        *argc = static_cast<int>(arguments.size()) - 1;
    }

    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A new run each time, with a new log, so that the log never grows past
    // one input's lines.
    own_run_C<discarding_front_end_C> quiet(g_scratch.string());
    update_run_C& run = quiet.run;
    fs::current_path(g_scratch);

    FILE* file = fopen(g_server_list_file_name.c_str(), "wb");
    if (!file)
        __builtin_trap();
    if (size > 0 && fwrite(data, 1, size, file) != size)
        __builtin_trap();
    fclose(file);

    // The cipher is undone exactly, byte for byte.
    std::vector<unsigned char> bytes(data, data + size);
    decipher_server_list(bytes.data(), bytes.size());
    encipher_server_list(bytes.data(), bytes.size());
    if (!std::equal(bytes.begin(), bytes.end(), data))
        __builtin_trap();

    const bool loaded = load_server_list(run);
    if (loaded) {
        if (run.server_list.empty())
            __builtin_trap(); // a list without servers must be refused
        for (const ftp_server_C& server : run.server_list)
            if (!is_clean_token(server.Servername) || !is_clean_token(server.Directory) ||
                !is_clean_token(server.strUser) || !is_clean_token(server.strPass))
                __builtin_trap();
    } else if (!run.server_list.empty()) {
        __builtin_trap(); // a refused list must add no server
    }

    // What the writing tool makes of the deciphered text reads back the
    // same, and the loader takes it.
    const std::string plain =
        decipher_server_list_text(std::string(reinterpret_cast<const char*>(data), size));
    std::string enciphered, reason;
    if (encipher_server_list_text(plain, enciphered, reason)) {
        if (decipher_server_list_text(enciphered) != plain)
            __builtin_trap();
        FILE* again = fopen(g_server_list_file_name.c_str(), "wb");
        if (!again)
            __builtin_trap();
        fwrite(enciphered.data(), 1, enciphered.size(), again);
        fclose(again);
        run.server_list.clear();
        if (!load_server_list(run))
            __builtin_trap();
    }

    run.log.close_log_file();
    fs::current_path(g_started_in);
    return 0;
}

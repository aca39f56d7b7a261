// Uses the installed library as a game client would: through QuillNTC.h and
// the exported classes only. Writes a network log line and reads it back.
#include <QuillNTC.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

int main() {
    CLock lock;
    lock.Enter();
    lock.Enter();
    CDebug::AppendDebugMsg("consumer says %d", 42);
    lock.Leave();
    lock.Leave();

    namespace fs = std::filesystem;
    int files = 0;
    std::string content;
    for (const auto& entry : fs::directory_iterator("QUILL_NETWORK_LOG")) {
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (files != 1 || content.find("consumer says 42") == std::string::npos) {
        std::cerr << "network log not as expected (" << files << " files)\n";
        return 1;
    }
    std::cout << "network log line written: " << content;
    return 0;
}

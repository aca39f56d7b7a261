// A stand-in for the next program of the launch chain: writes the command
// line it was given, byte for byte, into "parameters.txt" in its current
// directory. The file appears whole (written under another name first), so
// a test may read it as soon as it exists.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "quill/platform/shell.h"

int main(int argc, char** argv) {
    const std::string parameters = qp::command_line_parameters(argc, argv);
    {
        std::ofstream out("parameters.txt.part", std::ios::binary);
        out << parameters;
        if (!out)
            return 2;
    }
    std::error_code failed;
    std::filesystem::rename("parameters.txt.part", "parameters.txt", failed);
    return failed ? 2 : 0;
}

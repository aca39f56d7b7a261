// Starting the next program of the launch chain and opening web pages, and
// the command line a program of the chain was given.
//
// A command line travels between the programs as one text, byte for byte.
// On Windows it is the raw text after the program's name; elsewhere it is
// the program's one argument (several arguments are joined with single
// blanks) and it is passed on as one argument.
#ifndef QUILL_PLATFORM_SHELL_H
#define QUILL_PLATFORM_SHELL_H

#include <string>

namespace qp {

// Starts the program path (a Windows-form name, relative names from the
// current directory) with the parameter string, in the current directory,
// shown normally, and returns without waiting for it. An empty parameter
// string gives the program an empty command line. True when the program
// was started; false when it could not be (missing, not executable); the
// program's own outcome is never known.
bool start_program(const char* path, const char* parameters);

// Runs the program as start_program does, but waits for it to end. Returns
// its exit code, or -1 when it could not be started.
int run_program(const char* path, const char* parameters);

// Opens a web address in the user's browser and returns without waiting.
// True when the request was handed to the system.
bool open_url(const char* url);

// The command line this program was started with, as described above. On
// Windows argc and argv are ignored and the text comes from the system, as
// the run-time library hands it to WinMain: the program's name (quoted or
// not) and the blanks after it are skipped, the rest is kept unchanged.
std::string command_line_parameters(int argc, char** argv);

// The folder that holds the running program, without a trailing separator;
// "" when the system cannot tell.
std::string program_folder();

} // namespace qp

#endif

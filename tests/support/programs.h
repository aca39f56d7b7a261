// Helper programs of the test suite and waiting for what they leave behind.
#ifndef QUILL_TESTS_PROGRAMS_H
#define QUILL_TESTS_PROGRAMS_H

#include <string>

namespace quill_test {

// Full path of a program of this build (its file name, ".exe" included on
// Windows), usable whatever the current directory.
std::string build_program(const std::string& file_name);
// A program's file name on this system: base, plus ".exe" on Windows.
std::string program_file_name(const std::string& base);
// The parameter recorder, with the suffix programs have on this system.
std::string recorder_program();
// Copies a program of the build to name in the current directory, keeping
// it executable.
void install_program(const std::string& program, const std::string& name);

// Sets a variable of this process's environment, which the programs it
// starts inherit; "" leaves it empty (on Windows: removes it).
void set_environment(const char* name, const char* value);

// Waits up to timeout_ms of real time for a file to exist; true when it did.
// For programs started by the code under test, which no test clock drives.
bool wait_for_file(const std::string& name, unsigned timeout_ms);
// What the parameter recorder wrote into name: its command line, or
// "(not started)" when the file did not appear within timeout_ms of real
// time. On Windows the recorder may hold the file for a moment after it
// appeared under its name, so a read that is refused is tried again.
std::string recorded_parameters(const std::string& name, unsigned timeout_ms);
// Removes a folder with everything below it, trying again for up to
// timeout_ms of real time while it cannot: a program that has just left its
// mark there may still be running, and Windows keeps a running program's
// file. Throws the last failure when the time is up.
void remove_folder_once_free(const std::string& name, unsigned timeout_ms = 10000);

} // namespace quill_test

#endif

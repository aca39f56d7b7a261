// The launcher program: refuses to run outside the launch chain, otherwise
// shows the launcher window until the player starts the game or quits.
#ifndef QUILL_LAUNCHER_CLAUNCHERAPP_H
#define QUILL_LAUNCHER_CLAUNCHERAPP_H

#include <string>

extern const char* const g_start_through_updater_message;

class CLauncherApp {
public:
    // The whole run; the program's exit code: 1 when the window could not
    // be shown, 0 otherwise.
    int Run(int argc, char** argv);
    // Shows the window for a command line, or the message when it is empty.
    // False when the window never ran.
    bool InitInstance(const std::string& command_line);
};

extern CLauncherApp theApp;

#endif

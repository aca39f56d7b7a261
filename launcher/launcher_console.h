// The launcher on a terminal, for machines without a display: the page
// addresses as text and the three actions as typed choices.
#ifndef QUILL_LAUNCHER_LAUNCHER_CONSOLE_H
#define QUILL_LAUNCHER_LAUNCHER_CONSOLE_H

#include <stdio.h>

#include <string>

#include "CLauncherDlg.h"
#include "launcher_config.h"

// Shows the choices on out and takes them from in, one line each: "1" or
// "s" starts the game with the command line and ends, "2" or "h" opens the
// home page and asks again, "3", "q" or the end of the input ends. With
// autostart_ms not negative nothing is read: after that many milliseconds
// the game is started, as if chosen (the demonstration runs the chain so).
void run_launcher_console(const launcher_settings& settings, CLauncherShell& shell,
                          const std::string& command_line, FILE* in, FILE* out,
                          int autostart_ms);

// The automatic start delay the environment asks for
// (QUILL_DEMO_AUTOSTART_MS); -1 when it asks for none.
int launcher_autostart_ms();

#endif

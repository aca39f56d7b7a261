#include "CLauncherApp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "CLauncherDlg.h"
#include "launcher_console.h"
#include "launcher_config.h"
#include "launcher_log.h"
#include "quill/platform/shell.h"
#include "quill/platform/ui_choice.h"
#include "quill/platform/ui_launcher.h"

const char* const g_start_through_updater_message = "SurePatch를 사용하여 실행시켜 주십시요";

CLauncherApp theApp;

namespace {

const char* const kMessageCaption = "QuillLauncher";

launcher_settings deployment_settings() {
    launcher_settings settings = default_launcher_settings();
    std::vector<std::string> complaints;
    load_launcher_config(qp::program_folder(), &settings, &complaints);
    for (const std::string& complaint : complaints)
        launcher_log(complaint.c_str());
    return settings;
}

} // namespace

int CLauncherApp::Run(int argc, char** argv) {
    const std::string command_line = qp::command_line_parameters(argc, argv);
    const bool ran = InitInstance(command_line);
    launcher_log("launcher closed");
    launcher_log_close();
    // The refusal of an empty command line is an answer, not a failure; a
    // window that could not be shown at all is one.
    return (ran || command_line.empty()) ? 0 : 1;
}

bool CLauncherApp::InitInstance(const std::string& command_line) {
    // Only the launch chain starts the launcher, and always with a command
    // line for the game; without one the player started it by hand.
    if (command_line.empty()) {
        launcher_log_format("empty command line: %s", g_start_through_updater_message);
        qp::launcher_message_box(g_start_through_updater_message, kMessageCaption);
        return false;
    }
    if (qp::console_ui_requested()) {
        run_launcher_console(deployment_settings(), system_shell(), command_line, stdin, stdout,
                             launcher_autostart_ms());
        return true;
    }
    CLauncherDlg dialog(deployment_settings(), system_shell());
    dialog.SetCommandLine(command_line);
    if (dialog.DoModal() != 0) {
        launcher_log("the launcher window could not be shown");
        return false;
    }
    return true;
}

#include "launcher_console.h"

#include <stdlib.h>
#include <string.h>

#include "launcher_log.h"
#include "quill/platform/clock.h"

namespace {

void start_game(CLauncherShell& shell, const std::string& command_line, FILE* out) {
    fprintf(out, "starting %s %s\n", g_game_client_name, command_line.c_str());
    fflush(out);
    launcher_log_format("start %s %s", g_game_client_name, command_line.c_str());
    shell.StartProgram(g_game_client_name, command_line.c_str());
}

// The first word of a line, lower-cased: "S" and " start" both choose 's'.
char choice_of(const char* line) {
    while (*line == ' ' || *line == '\t')
        ++line;
    const char c = *line;
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void run_launcher_console(const launcher_settings& settings, CLauncherShell& shell,
                          const std::string& command_line, FILE* in, FILE* out,
                          int autostart_ms) {
    fprintf(out, "%s\n  launcher page: %s\n  home page:     %s\n", g_launcher_title,
            settings.launcher_page.c_str(), settings.home_page.c_str());
    if (autostart_ms >= 0) {
        fprintf(out, "the game starts in %d ms\n", autostart_ms);
        fflush(out);
        qp::sleep(static_cast<uint32_t>(autostart_ms));
        start_game(shell, command_line, out);
        return;
    }
    char line[256];
    for (;;) {
        fprintf(out, "1 start the game, 2 home page, 3 quit > ");
        fflush(out);
        if (!fgets(line, sizeof line, in))
            break;
        switch (choice_of(line)) {
        case '1':
        case 's':
            start_game(shell, command_line, out);
            return;
        case '2':
        case 'h':
            launcher_log_format("home page: %s", settings.home_page.c_str());
            shell.OpenUrl(settings.home_page.c_str());
            break;
        case '3':
        case 'q':
            return;
        default:
            break;
        }
    }
    fputc('\n', out);
}

int launcher_autostart_ms() {
    const char* text = getenv("QUILL_DEMO_AUTOSTART_MS");
    if (text == nullptr || *text == '\0')
        return -1;
    char* end = nullptr;
    const long ms = strtol(text, &end, 10);
    if (*end != '\0' || ms < 0 || ms > 600000)
        return -1;
    return static_cast<int>(ms);
}

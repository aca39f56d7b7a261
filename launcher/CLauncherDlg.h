// The launcher's main window: the picture with the launcher page inside, the
// strip of three picture buttons below it, and dragging the window by its
// picture. The window system reports the mouse; this class decides.
#ifndef QUILL_LAUNCHER_CLAUNCHERDLG_H
#define QUILL_LAUNCHER_CLAUNCHERDLG_H

#include <string>

#include "launcher_config.h"
#include "quill/platform/ui_launcher.h"

class CWebView;

// How the launcher starts the game and opens the home page; tests put a
// recorder in its place.
class CLauncherShell {
public:
    virtual ~CLauncherShell() = default;
    // Starts a program with the parameter text passed on unchanged. Its
    // outcome is not looked at: the launcher ends after the start anyway.
    virtual void StartProgram(const char* program, const char* parameters) = 0;
    // Opens a web page in the user's browser.
    virtual void OpenUrl(const char* url) = 0;
};

// The shell of the platform.
CLauncherShell& system_shell();

extern const char* const g_game_client_name;
extern const char* const g_launcher_title;

class CLauncherDlg : public qp::launcher_events {
public:
    CLauncherDlg(const launcher_settings& settings, CLauncherShell& shell);
    ~CLauncherDlg() override;
    CLauncherDlg(const CLauncherDlg&) = delete;
    CLauncherDlg& operator=(const CLauncherDlg&) = delete;

    void SetCommandLine(const std::string& command_line) { m_strCmdLine = command_line; }
    const std::string& GetCommandLine() const { return m_strCmdLine; }
    // Shows the window until it ends: 0 when it ran, -1 when no window could
    // be made.
    int DoModal();

    void on_init_dialog(qp::launcher_window& window) override;
    void on_mouse_move(int x, int y) override;
    void on_left_button_down(int x, int y) override;
    void on_left_button_up(int x, int y) override;
    void on_log(const char* text) override;

    bool IsDragging() const { return m_bDrag; }
    bool HasWebView() const;

private:
    CWebView* m_pBrowser = nullptr;
    std::string m_strCmdLine;
    int m_bmpNormal = 0;
    int m_bmpStart = 0;
    int m_bmpHomepage = 0;
    int m_bmpQuit = 0;
    int m_hIcon;
    bool m_bDrag = false;
    int m_nDragX = 0;
    int m_nDragY = 0;
    int m_ctlBrowser;
    int m_ctlStrip;

    launcher_settings m_settings;
    CLauncherShell& m_shell;
    qp::launcher_window* m_pWindow = nullptr;

    void ShowStrip(int bitmap);
};

#endif

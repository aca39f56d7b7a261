#include "CLauncherDlg.h"

#include "CWebView.h"
#include "launcher_log.h"
#include "launcher_logic.h"
#include "launcher_template.h"

const char* const g_game_client_name = "RealClientApp.EXE";
const char* const g_launcher_title = "Quill Launcher";

CLauncherDlg::CLauncherDlg(const launcher_settings& settings, CLauncherShell& shell)
    : m_hIcon(IDI_LAUNCHER),
      m_ctlBrowser(IDC_BROWSER_PLACEHOLDER),
      m_ctlStrip(IDC_BUTTON_STRIP),
      m_settings(settings),
      m_shell(shell) {}

CLauncherDlg::~CLauncherDlg() {
    delete m_pBrowser;
}

int CLauncherDlg::DoModal() {
    const int result = qp::run_launcher_dialog(g_launcher_template, *this);
    // The window and its browser are gone now.
    delete m_pBrowser;
    m_pBrowser = nullptr;
    m_pWindow = nullptr;
    return result;
}

bool CLauncherDlg::HasWebView() const {
    return m_pBrowser != nullptr && m_pBrowser->IsCreated();
}

void CLauncherDlg::on_init_dialog(qp::launcher_window& window) {
    m_pWindow = &window;
    launcher_log("launcher window opened");
    window.add_system_menu();

    qp::launcher_rect place;
    if (!window.control_rect(m_ctlBrowser, &place)) {
        launcher_log("the window has no place for the launcher page");
    } else {
        delete m_pBrowser;
        m_pBrowser = new CWebView;
        if (!m_pBrowser->Create(window, place, AFX_IDW_PANE_FIRST)) {
            launcher_log("the launcher page cannot be shown: no embedded browser");
        } else {
            launcher_log_format("launcher page: %s", m_settings.launcher_page.c_str());
            if (!m_pBrowser->Navigate(m_settings.launcher_page.c_str()))
                launcher_log("the launcher page was refused by the browser");
            m_pBrowser->OnInitialUpdate();
        }
    }

    window.set_title(g_launcher_title);
    window.set_icon(m_hIcon);

    // A missing bitmap leaves its state showing the one before; the buttons
    // still work.
    struct {
        int* member;
        int bitmap;
    } strips[] = {{&m_bmpNormal, IDB_STRIP_NORMAL},
                  {&m_bmpStart, IDB_STRIP_START},
                  {&m_bmpQuit, IDB_STRIP_QUIT},
                  {&m_bmpHomepage, IDB_STRIP_HOMEPAGE}};
    for (auto& strip : strips) {
        if (window.load_bitmap(strip.bitmap))
            *strip.member = strip.bitmap;
        else
            launcher_log_format("bitmap %d is missing", strip.bitmap);
    }
}

void CLauncherDlg::ShowStrip(int bitmap) {
    int loaded = 0;
    switch (bitmap) {
    case IDB_STRIP_START:
        loaded = m_bmpStart;
        break;
    case IDB_STRIP_HOMEPAGE:
        loaded = m_bmpHomepage;
        break;
    case IDB_STRIP_QUIT:
        loaded = m_bmpQuit;
        break;
    default:
        loaded = m_bmpNormal;
        break;
    }
    if (loaded != 0 && m_pWindow)
        m_pWindow->show_bitmap(m_ctlStrip, loaded);
}

void CLauncherDlg::on_mouse_move(int x, int y) {
    // A drag that began below the band ends at its first movement.
    if (!g_drag_band.contains(x, y))
        m_bDrag = false;

    if (launcher_button_at(x, y) != button_none) {
        ShowStrip(strip_bitmap_at(x, y));
    } else {
        if (m_bDrag && m_pWindow) {
            launcher_point window;
            m_pWindow->get_position(&window.x, &window.y);
            const launcher_point moved =
                drag_window_position(window, launcher_point{m_nDragX, m_nDragY}, x, y);
            m_pWindow->move_to(moved.x, moved.y);
        }
        ShowStrip(IDB_STRIP_NORMAL);
    }
    if (m_pWindow)
        m_pWindow->update_now();
}

void CLauncherDlg::on_left_button_down(int x, int y) {
    ShowStrip(IDB_STRIP_NORMAL);
    switch (launcher_button_at(x, y)) {
    case button_start:
        launcher_log_format("start %s %s", g_game_client_name, m_strCmdLine.c_str());
        m_shell.StartProgram(g_game_client_name, m_strCmdLine.c_str());
        if (m_pWindow)
            m_pWindow->post_quit();
        break;
    case button_homepage:
        launcher_log_format("home page: %s", m_settings.home_page.c_str());
        m_shell.OpenUrl(m_settings.home_page.c_str());
        break;
    case button_quit:
        if (m_pWindow)
            m_pWindow->post_quit();
        break;
    case button_none:
        // Only the band drags. A press below it must not start a drag that
        // the next movement, jumping into the band, would turn into a leap
        // of the window.
        m_bDrag = g_drag_band.contains(x, y);
        m_nDragX = x;
        m_nDragY = y;
        break;
    }
}

void CLauncherDlg::on_left_button_up(int, int) {
    m_bDrag = false;
}

void CLauncherDlg::on_log(const char* text) {
    launcher_log(text);
}

// The launcher dialog's rules, driven through a stand-in window: hit areas,
// the strip shown under the pointer, dragging the window by its picture and
// what each button does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CLauncherDlg.h"
#include "launcher_log.h"
#include "launcher_logic.h"
#include "launcher_template.h"
#include "support/scratch_dir.h"
#include "recording_shell.h"

namespace {

class FakeWindow : public qp::launcher_window {
public:
    void add_system_menu() override { system_menu = true; }
    bool control_rect(int control, qp::launcher_rect* out) override {
        for (size_t i = 0; i < g_launcher_template.control_count; ++i) {
            const qp::launcher_control& c = g_launcher_template.controls[i];
            if (c.id == control) {
                *out = qp::launcher_rect{c.left, c.top, c.width, c.height};
                return true;
            }
        }
        return false;
    }
    bool create_web_view(const qp::launcher_rect& rect, int id) override {
        view_rect = rect;
        view_id = id;
        return browser_available;
    }
    bool navigate(const char* url) override {
        navigations.push_back(url);
        return true;
    }
    void set_title(const char* text) override { title = text; }
    void set_icon(int id) override { icon = id; }
    bool load_bitmap(int bitmap) override { return bitmap != missing_bitmap; }
    void show_bitmap(int control, int bitmap) override {
        EXPECT_EQ(IDC_BUTTON_STRIP, control);
        strip = bitmap;
    }
    void get_position(int* px, int* py) override {
        *px = x;
        *py = y;
    }
    void move_to(int nx, int ny) override {
        x = nx;
        y = ny;
        ++moves;
    }
    void update_now() override {}
    void post_quit() override { ++quits; }

    bool browser_available = true;
    int missing_bitmap = 0;
    bool system_menu = false;
    qp::launcher_rect view_rect{};
    int view_id = 0;
    std::vector<std::string> navigations;
    std::string title;
    int icon = 0;
    int strip = IDB_STRIP_NORMAL;
    int x = 300, y = 200;
    int moves = 0;
    int quits = 0;
};

class LauncherDialog : public ::testing::Test {
protected:
    LauncherDialog() : dialog(settings(), shell) {}
    // Each test's log lives in its own folder.
    ~LauncherDialog() override { launcher_log_close(); }

    static launcher_settings settings() {
        launcher_settings s;
        s.launcher_page = "http://127.0.0.1:8080/launcher/";
        s.home_page = "http://127.0.0.1:8080/home/";
        return s;
    }

    void open() {
        dialog.SetCommandLine("1.0.42");
        dialog.on_init_dialog(window);
    }
    void click(int x, int y) {
        dialog.on_left_button_down(x, y);
        dialog.on_left_button_up(x, y);
    }

    quill_test::ScratchDir scratch; // the dialog writes its log here
    FakeWindow window;
    RecordingShell shell;
    CLauncherDlg dialog;
};

TEST_F(LauncherDialog, OpensTheLauncherPageOverThePlaceholder) {
    open();
    EXPECT_TRUE(window.system_menu);
    EXPECT_EQ("Quill Launcher", window.title);
    EXPECT_EQ(IDI_LAUNCHER, window.icon);
    EXPECT_EQ(21, window.view_rect.left);
    EXPECT_EQ(156, window.view_rect.top);
    EXPECT_EQ(450, window.view_rect.width);
    EXPECT_EQ(186, window.view_rect.height);
    EXPECT_EQ(AFX_IDW_PANE_FIRST, window.view_id);
    ASSERT_EQ(1u, window.navigations.size());
    EXPECT_EQ("http://127.0.0.1:8080/launcher/", window.navigations[0]);
    EXPECT_TRUE(dialog.HasWebView());
}

TEST_F(LauncherDialog, WithoutABrowserTheButtonsStillWork) {
    window.browser_available = false;
    open();
    EXPECT_FALSE(dialog.HasWebView());
    EXPECT_TRUE(window.navigations.empty());
    EXPECT_EQ("Quill Launcher", window.title);
    click(60, 370);
    ASSERT_EQ(1u, shell.started.size());
    EXPECT_EQ(1, window.quits);
    EXPECT_NE(std::string::npos,
              quill_test::read_text_file("report_launcher.txt").find("no embedded browser"));
}

TEST_F(LauncherDialog, StartButtonEdgesAreInclusive) {
    open();
    click(47, 356);
    click(48, 355);
    click(169, 370);
    click(48, 382);
    EXPECT_TRUE(shell.started.empty());
    EXPECT_EQ(0, window.quits);
    click(48, 356);
    ASSERT_EQ(1u, shell.started.size());
    EXPECT_EQ("RealClientApp.EXE|1.0.42", shell.started[0]);
    EXPECT_EQ(1, window.quits);
}

TEST_F(LauncherDialog, OppositeCornersOfEveryButton) {
    open();
    click(168, 381);
    EXPECT_EQ(1u, shell.started.size());
    click(186, 356);
    click(308, 381);
    EXPECT_EQ(2u, shell.opened.size());
    click(185, 370);
    click(309, 370);
    click(324, 370);
    EXPECT_EQ(2u, shell.opened.size());
    EXPECT_EQ(1, window.quits);
    click(325, 356);
    click(447, 381);
    EXPECT_EQ(3, window.quits);
    EXPECT_EQ(1u, shell.started.size());
}

TEST_F(LauncherDialog, HomePageCanBeOpenedAgainAndAgain) {
    open();
    for (int i = 0; i < 25; ++i)
        click(250, 370);
    ASSERT_EQ(25u, shell.opened.size());
    for (const std::string& url : shell.opened)
        EXPECT_EQ("http://127.0.0.1:8080/home/", url);
    EXPECT_EQ(0, window.quits);
    EXPECT_TRUE(shell.started.empty());
}

TEST_F(LauncherDialog, CommandLinePassesOnUnchanged) {
    const std::string text = "  \"C:\\Program Files\\x\" 'a b'  \"\" \\\"q\\\" 한글 ";
    dialog.SetCommandLine(text);
    dialog.on_init_dialog(window);
    click(100, 370);
    ASSERT_EQ(1u, shell.started.size());
    EXPECT_EQ("RealClientApp.EXE|" + text, shell.started[0]);
}

TEST_F(LauncherDialog, HoverShowsTheStripOfTheButtonUnderThePointer) {
    open();
    dialog.on_mouse_move(100, 370);
    EXPECT_EQ(IDB_STRIP_START, window.strip);
    dialog.on_mouse_move(200, 370);
    EXPECT_EQ(IDB_STRIP_HOMEPAGE, window.strip);
    dialog.on_mouse_move(400, 370);
    EXPECT_EQ(IDB_STRIP_QUIT, window.strip);
    dialog.on_mouse_move(470, 370);
    EXPECT_EQ(IDB_STRIP_NORMAL, window.strip);
    dialog.on_mouse_move(308, 381);
    EXPECT_EQ(IDB_STRIP_HOMEPAGE, window.strip);
    dialog.on_mouse_move(100, 50);
    EXPECT_EQ(IDB_STRIP_NORMAL, window.strip);
    // A press on a button shows the normal strip until the pointer moves.
    dialog.on_mouse_move(400, 370);
    dialog.on_left_button_down(250, 370);
    EXPECT_EQ(IDB_STRIP_NORMAL, window.strip);
    EXPECT_EQ(0, window.moves);
}

TEST_F(LauncherDialog, AMissingStripBitmapIsNeverShown) {
    window.missing_bitmap = IDB_STRIP_QUIT;
    open();
    dialog.on_mouse_move(100, 370);
    dialog.on_mouse_move(400, 370);
    EXPECT_EQ(IDB_STRIP_START, window.strip);
    dialog.on_mouse_move(470, 370);
    EXPECT_EQ(IDB_STRIP_NORMAL, window.strip);
}

TEST_F(LauncherDialog, DragInTheBandMovesTheWindowWithThePointer) {
    open();
    dialog.on_left_button_down(100, 50);
    EXPECT_TRUE(dialog.IsDragging());
    dialog.on_mouse_move(110, 60);
    EXPECT_EQ(310, window.x);
    EXPECT_EQ(210, window.y);
    // The window followed, so the pointer is over the drag's start again;
    // a further step moves it on by that step.
    dialog.on_mouse_move(95, 48);
    EXPECT_EQ(305, window.x);
    EXPECT_EQ(208, window.y);
    dialog.on_left_button_up(95, 48);
    EXPECT_FALSE(dialog.IsDragging());
    dialog.on_mouse_move(140, 90);
    EXPECT_EQ(305, window.x);
    EXPECT_EQ(208, window.y);
    EXPECT_EQ(2, window.moves);
}

TEST_F(LauncherDialog, PressOutsideTheBandNeverDrags) {
    open();
    dialog.on_left_button_down(100, 300);
    dialog.on_mouse_move(101, 300);
    dialog.on_mouse_move(100, 100); // back inside the band: the drag is over
    dialog.on_mouse_move(150, 120);
    EXPECT_EQ(0, window.moves);
    EXPECT_FALSE(dialog.IsDragging());
    // The strip outside the buttons starts no drag that survives either.
    dialog.on_left_button_down(470, 370);
    dialog.on_mouse_move(100, 100);
    EXPECT_EQ(0, window.moves);
}

TEST_F(LauncherDialog, LeavingTheBandEndsADrag) {
    open();
    dialog.on_left_button_down(13, 13);
    EXPECT_TRUE(dialog.IsDragging());
    dialog.on_mouse_move(483, 148);
    EXPECT_EQ(1, window.moves);
    dialog.on_mouse_move(484, 148);
    EXPECT_FALSE(dialog.IsDragging());
    dialog.on_mouse_move(300, 100);
    EXPECT_EQ(1, window.moves);
}

TEST_F(LauncherDialog, PressOnAButtonStartsNoDrag) {
    open();
    dialog.on_left_button_down(250, 370);
    EXPECT_FALSE(dialog.IsDragging());
    dialog.on_left_button_down(12, 13);
    EXPECT_FALSE(dialog.IsDragging());
    dialog.on_left_button_down(13, 149);
    EXPECT_FALSE(dialog.IsDragging());
    dialog.on_left_button_down(483, 13);
    EXPECT_TRUE(dialog.IsDragging());
}

TEST(LauncherLogic, DragPositionKeepsTheGrabbedPointUnderThePointer) {
    const launcher_point moved = drag_window_position({-20, 5000}, {100, 50}, 110, 60);
    EXPECT_EQ(-10, moved.x);
    EXPECT_EQ(5010, moved.y);
    const launcher_point back = drag_window_position({400, 300}, {200, 140}, 13, 13);
    EXPECT_EQ(213, back.x);
    EXPECT_EQ(173, back.y);
}

} // namespace

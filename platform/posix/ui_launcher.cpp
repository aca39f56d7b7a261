// The launcher's window with GTK 3, the page in a WebKitGTK view.
#include "quill/platform/ui_launcher.h"

#include "../common/ui_launcher_aids.h"

#include <gtk/gtk.h>

#include "gtk_aids.h"
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <map>
#include <string>
#include <vector>

namespace qp {

namespace {

bool display_ready() {
    static int state = -1;
    if (state < 0)
        state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
    return state == 1;
}

class gtk_launcher_window : public launcher_window {
public:
    gtk_launcher_window(const launcher_template& dialog, launcher_events& events)
        : dialog_(dialog), events_(events) {}

    ~gtk_launcher_window() override {
        for (auto& entry : pixbufs_)
            g_object_unref(entry.second);
        if (window_)
            gtk_widget_destroy(window_);
        if (loop_)
            g_main_loop_unref(loop_);
    }

    int run();

    void add_system_menu() override {
        // A window here gets its taskbar entry and window menu from the
        // window manager; there is no style to add.
    }

    bool control_rect(int control, launcher_rect* out) override {
        const launcher_control* found = find_control(control);
        if (!found)
            return false;
        *out = launcher_rect{found->left, found->top, found->width, found->height};
        return true;
    }

    bool create_web_view(const launcher_rect& rect, int) override {
        if (view_)
            return true;
        view_ = webkit_web_view_new();
        if (!view_) {
            events_.on_log("the web view could not be made");
            return false;
        }
        gtk_widget_set_size_request(view_, rect.width, rect.height);
        gtk_fixed_put(GTK_FIXED(fixed_), view_, rect.left, rect.top);
        g_signal_connect(view_, "load-failed", G_CALLBACK(on_load_failed), this);
        g_signal_connect(view_, "web-process-terminated", G_CALLBACK(on_web_process_ended),
                         this);
        gtk_widget_show(view_);
        return true;
    }

    bool navigate(const char* url) override {
        if (!view_)
            return false;
        webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), url);
        return true;
    }

    void set_title(const char* title) override { gtk_window_set_title(GTK_WINDOW(window_), title); }

    void set_icon(int icon) override {
        GdkPixbuf* pixbuf = load(icon);
        if (pixbuf)
            gtk_window_set_icon(GTK_WINDOW(window_), pixbuf);
        else
            log_missing(icon);
    }

    bool load_bitmap(int bitmap) override { return load(bitmap) != nullptr; }

    void show_bitmap(int control, int bitmap) override {
        auto image = images_.find(control);
        GdkPixbuf* pixbuf = load(bitmap);
        if (image == images_.end() || !pixbuf)
            return;
        // Setting the picture it already shows would only cost a repaint.
        if (shown_[control] == bitmap)
            return;
        shown_[control] = bitmap;
        gtk_image_set_from_pixbuf(GTK_IMAGE(image->second), pixbuf);
    }

    void get_position(int* x, int* y) override { gtk_window_get_position(GTK_WINDOW(window_), x, y); }

    void move_to(int x, int y) override { gtk_window_move(GTK_WINDOW(window_), x, y); }

    void update_now() override {
        // GTK paints on its frame clock; what can be hurried is the move
        // and the new picture reaching the display server.
        gdk_display_flush(gtk_widget_get_display(window_));
    }

    void post_quit() override {
        if (loop_)
            g_main_loop_quit(loop_);
    }

private:
    const launcher_template& dialog_;
    launcher_events& events_;
    GtkWidget* window_ = nullptr;
    GtkWidget* fixed_ = nullptr;
    GtkWidget* view_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::map<int, GdkPixbuf*> pixbufs_;
    std::map<int, GtkWidget*> images_;
    std::map<int, int> shown_;
    std::vector<std::pair<int, int>> test_clicks_;
    size_t next_click_ = 0;

    const launcher_control* find_control(int id) const {
        for (size_t i = 0; i < dialog_.control_count; ++i)
            if (dialog_.controls[i].id == id && id != 0)
                return &dialog_.controls[i];
        return nullptr;
    }

    GdkPixbuf* load(int id) {
        auto known = pixbufs_.find(id);
        if (known != pixbufs_.end())
            return known->second;
        for (size_t i = 0; i < dialog_.resource_count; ++i) {
            if (dialog_.resources[i].id != id)
                continue;
            GdkPixbuf* pixbuf = picture_from_bytes(dialog_.resources[i].data, dialog_.resources[i].size);
            if (pixbuf)
                pixbufs_[id] = pixbuf;
            return pixbuf;
        }
        return nullptr;
    }

    void log_missing(int id) {
        char line[64];
        snprintf(line, sizeof line, "picture %d is missing", id);
        events_.on_log(line);
    }

    void build();
    void read_test_clicks();

    static gboolean on_motion(GtkWidget*, GdkEventMotion* event, gpointer self) {
        static_cast<gtk_launcher_window*>(self)->events_.on_mouse_move(
            static_cast<int>(event->x), static_cast<int>(event->y));
        return TRUE;
    }
    static gboolean on_enter(GtkWidget*, GdkEventCrossing* event, gpointer self) {
        static_cast<gtk_launcher_window*>(self)->events_.on_mouse_move(
            static_cast<int>(event->x), static_cast<int>(event->y));
        return FALSE;
    }
    static gboolean on_press(GtkWidget*, GdkEventButton* event, gpointer self) {
        // A double click arrives as two presses and a double-press; only
        // the presses count, as on the other system.
        if (event->type == GDK_BUTTON_PRESS && event->button == 1)
            static_cast<gtk_launcher_window*>(self)->events_.on_left_button_down(
                static_cast<int>(event->x), static_cast<int>(event->y));
        return TRUE;
    }
    static gboolean on_release(GtkWidget*, GdkEventButton* event, gpointer self) {
        if (event->button == 1)
            static_cast<gtk_launcher_window*>(self)->events_.on_left_button_up(
                static_cast<int>(event->x), static_cast<int>(event->y));
        return TRUE;
    }
    static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<gtk_launcher_window*>(self)->post_quit();
        return TRUE;
    }
    static gboolean on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                   gpointer self) {
        const std::string line = std::string("the launcher page failed to load: ") +
                                 (uri ? uri : "") + ": " + (error ? error->message : "");
        static_cast<gtk_launcher_window*>(self)->events_.on_log(line.c_str());
        return FALSE; // the view shows its own error page
    }
    static void on_web_process_ended(WebKitWebView*, WebKitWebProcessTerminationReason,
                                     gpointer self) {
        static_cast<gtk_launcher_window*>(self)->events_.on_log(
            "the web view's page process ended; the page is gone");
    }
    static gboolean on_test_click(gpointer self);
    static gboolean on_mapped(GtkWidget*, GdkEvent*, gpointer self);
};

void gtk_launcher_window::build() {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_widget_set_size_request(window_, dialog_.width, dialog_.height);

    // The event box takes the mouse over the pictures; the web view, a
    // child with a window of its own, keeps its own mouse as on Windows.
    GtkWidget* box = gtk_event_box_new();
    gtk_widget_add_events(box, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                   GDK_BUTTON_RELEASE_MASK | GDK_ENTER_NOTIFY_MASK);
    g_signal_connect(box, "motion-notify-event", G_CALLBACK(on_motion), this);
    g_signal_connect(box, "enter-notify-event", G_CALLBACK(on_enter), this);
    g_signal_connect(box, "button-press-event", G_CALLBACK(on_press), this);
    g_signal_connect(box, "button-release-event", G_CALLBACK(on_release), this);
    gtk_container_add(GTK_CONTAINER(window_), box);

    fixed_ = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(box), fixed_);
    for (size_t i = 0; i < dialog_.control_count; ++i) {
        const launcher_control& control = dialog_.controls[i];
        if (control.kind != launcher_control::bitmap_control)
            continue;
        GtkWidget* image = gtk_image_new();
        GdkPixbuf* pixbuf = load(control.bitmap);
        if (pixbuf)
            gtk_image_set_from_pixbuf(GTK_IMAGE(image), pixbuf);
        else
            log_missing(control.bitmap);
        gtk_widget_set_size_request(image, control.width, control.height);
        gtk_fixed_put(GTK_FIXED(fixed_), image, control.left, control.top);
        if (control.id != 0) {
            images_[control.id] = image;
            shown_[control.id] = control.bitmap;
        }
    }
    g_signal_connect(window_, "delete-event", G_CALLBACK(on_delete), this);
    g_signal_connect(window_, "map-event", G_CALLBACK(on_mapped), this);
}

void gtk_launcher_window::read_test_clicks() {
    test_clicks_ = launcher_test_clicks();
}

gboolean gtk_launcher_window::on_test_click(gpointer data) {
    auto* self = static_cast<gtk_launcher_window*>(data);
    if (self->next_click_ >= self->test_clicks_.size())
        return G_SOURCE_REMOVE;
    const std::pair<int, int> point = self->test_clicks_[self->next_click_++];
    self->events_.on_mouse_move(point.first, point.second);
    self->events_.on_left_button_down(point.first, point.second);
    self->events_.on_left_button_up(point.first, point.second);
    return G_SOURCE_CONTINUE;
}

gboolean gtk_launcher_window::on_mapped(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<gtk_launcher_window*>(data);
    if (!self->test_clicks_.empty() && self->next_click_ == 0)
        g_timeout_add(100, on_test_click, self);
    return FALSE;
}

int gtk_launcher_window::run() {
    build();
    events_.on_init_dialog(*this);
    read_test_clicks();
    loop_ = g_main_loop_new(nullptr, FALSE);
    gtk_widget_show_all(window_);
    g_main_loop_run(loop_);
    gtk_widget_hide(window_);
    // Let the hide and the view's teardown reach the display server.
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
    return 0;
}

} // namespace

int run_launcher_dialog(const launcher_template& dialog, launcher_events& events) {
    if (!display_ready()) {
        events.on_log("no display to show the launcher window on");
        return -1;
    }
    gtk_launcher_window window(dialog, events);
    return window.run();
}

void launcher_message_box(const char* text, const char* caption) {
    if (!display_ready()) {
        fprintf(stderr, "%s: %s\n", caption, text);
        return;
    }
    run_message_dialog(nullptr, GTK_MESSAGE_WARNING, caption, text, false,
                       launcher_test_delay("QUILL_TEST_MESSAGE_BOX_MS"));
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

} // namespace qp

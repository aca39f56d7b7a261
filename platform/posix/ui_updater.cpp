// The updater's window in GTK 3, laid out as the Windows dialog: 175 by 77
// dialog units at two pixels per unit. GTK may only be used from the
// window's thread: the worker records its changes and wakes that thread,
// which draws them (see updater_window_state.h); only a message box makes
// the worker wait.
#include <gtk/gtk.h>
#include <stdio.h>

#include <string>

#include "quill/platform/thread.h"
#include "quill/platform/updater_window_state.h"
#include "gtk_aids.h"
#include "../common/system_windows.h"
#include "updater_window_module.h"

// The artwork, built into the module from update/app/res.
extern const unsigned char quill_updater_banner[];
extern const unsigned long quill_updater_banner_size;
extern const unsigned char quill_updater_icon[];
extern const unsigned long quill_updater_icon_size;

namespace qp {
namespace {

const char kCaption[] = "Quill Update                                   ver 1.3";

struct Bar {
    GtkWidget* area = nullptr;
    int maximum = 100;
    int position = 0;
    bool has_bar_colour = false;
    bool has_background = false;
    Colour bar_colour{0, 0, 0};
    Colour background{0, 0, 0};
};

// The colours of an unthemed Windows progress bar.
const Colour kDefaultBar = {0, 0, 128};
const Colour kDefaultBackground = {212, 208, 200};

struct Window {
    GtkWidget* window = nullptr;
    GtkWidget* status = nullptr;
    Bar download, listing, lamp;
};

// Requests are carried out only while the window is open.
WindowThread g_window_thread;
bool g_closed_by_worker = false; // the window's thread only
Window g_window;
UpdaterWindowState g_state;

Bar* bar_of(int control) {
    switch (control) {
    case kUpdaterDownloadBar:
        return &g_window.download;
    case kUpdaterListingBar:
        return &g_window.listing;
    case kUpdaterLamp:
        return &g_window.lamp;
    }
    return nullptr;
}

// While the worker keeps changing things the window takes them at this
// pace: often enough to look smooth, seldom enough to cost nothing.
const unsigned kRefreshMs = 40;
guint g_refresh_timer = 0; // the window's thread only

// On the window's thread: the widgets take what changed since the last
// refresh. False when nothing had changed.
bool refresh() {
    if (!g_window_thread.is_open())
        return false;
    const UpdaterWindowTake taken = g_state.take();
    if (taken.changed == 0)
        return false;
    if (taken.has(kChangedStatus)) {
        // The status line shows UTF-8; anything else would be refused.
        const char* text = taken.status.c_str();
        gtk_label_set_text(GTK_LABEL(g_window.status),
                           g_utf8_validate(text, -1, nullptr) ? text : "?");
    }
    for (int i = 0; i < 3; ++i) {
        Bar* bar = bar_of(kUpdaterBars[i]);
        const UpdaterBarState& state = taken.bars[i];
        bar->maximum = state.maximum;
        bar->position = state.position;
        bar->has_bar_colour = state.has_bar_colour;
        bar->bar_colour = state.bar_colour;
        bar->has_background = state.has_background;
        bar->background = state.background;
        if (taken.has(kChangedRange, i) || taken.has(kChangedColours, i) ||
            taken.has(kChangedPosition, i))
            gtk_widget_queue_draw(bar->area);
    }
    if (taken.has(kChangedRepaint))
        gtk_widget_queue_draw(g_window.window);
    if (taken.has(kChangedClose)) {
        g_closed_by_worker = true;
        gtk_main_quit();
    }
    return true;
}

gboolean refresh_tick(gpointer) {
    if (refresh())
        return G_SOURCE_CONTINUE;
    g_refresh_timer = 0;
    return G_SOURCE_REMOVE;
}

gboolean refresh_woken(gpointer) {
    if (refresh() && g_refresh_timer == 0)
        g_refresh_timer = g_timeout_add(kRefreshMs, refresh_tick, nullptr);
    return G_SOURCE_REMOVE;
}

// Never waits: one wake-up carries every change made until the window's
// thread gets to it.
void wake_window(bool needed) {
    if (needed)
        g_window_thread.post(refresh_woken, nullptr);
}

gboolean draw_bar(GtkWidget* area, cairo_t* cr, gpointer data) {
    const Bar& bar = *static_cast<Bar*>(data);
    const int width = gtk_widget_get_allocated_width(area);
    const int height = gtk_widget_get_allocated_height(area);
    // A sunken frame around the bar, as the common control draws it.
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 1, height - 1, width - 1, 1);
    cairo_rectangle(cr, width - 1, 1, 1, height - 1);
    cairo_fill(cr);
    set_cairo_colour(cr, bar.has_background ? bar.background : kDefaultBackground);
    cairo_rectangle(cr, 1, 1, width - 2, height - 2);
    cairo_fill(cr);
    if (bar.maximum > 0 && bar.position > 0) {
        const double filled = (width - 2) * static_cast<double>(bar.position) / bar.maximum;
        set_cairo_colour(cr, bar.has_bar_colour ? bar.bar_colour : kDefaultBar);
        cairo_rectangle(cr, 1, 1, filled, height - 2);
        cairo_fill(cr);
    }
    return TRUE;
}

GtkWidget* make_bar(GtkWidget* fixed, Bar& bar, int x, int y, int width, int height) {
    bar.area = gtk_drawing_area_new();
    g_signal_connect(bar.area, "draw", G_CALLBACK(draw_bar), &bar);
    place_in_dialog(fixed, bar.area, x, y, width, height);
    return bar.area;
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
    g_window_thread.close();
    gtk_main_quit();
    return TRUE;
}

void build_window() {
    g_window = Window();
    GtkWidget* window = new_dialog_window(quill_updater_icon, quill_updater_icon_size);
    g_window.window = window;
    gtk_window_set_title(GTK_WINDOW(window), kCaption);
    g_signal_connect(window, "delete-event", G_CALLBACK(on_delete), nullptr);

    GtkWidget* fixed = new_dialog_layout(window, 175, 77);

    GtkWidget* banner = nullptr;
    if (GdkPixbuf* picture = picture_from_bytes(quill_updater_banner, quill_updater_banner_size)) {
        banner = gtk_image_new_from_pixbuf(picture);
        g_object_unref(picture);
    } else {
        banner = gtk_drawing_area_new();
    }
    gtk_widget_set_halign(banner, GTK_ALIGN_START);
    gtk_widget_set_valign(banner, GTK_ALIGN_START);
    place_in_dialog(fixed, banner, 0, 0, 176, 50);

    make_bar(fixed, g_window.download, 0, 52, 175, 6);
    make_bar(fixed, g_window.listing, 0, 59, 175, 6);
    make_bar(fixed, g_window.lamp, 0, 67, 10, 9);

    g_window.status = gtk_label_new("");
    gtk_label_set_justify(GTK_LABEL(g_window.status), GTK_JUSTIFY_CENTER);
    gtk_label_set_ellipsize(GTK_LABEL(g_window.status), PANGO_ELLIPSIZE_END);
    gtk_widget_set_halign(g_window.status, GTK_ALIGN_FILL);
    set_label_points(g_window.status, 9);
    place_in_dialog(fixed, g_window.status, 13, 67, 138, 8);
}

struct Start {
    UpdaterWorker worker;
    void* argument;
    ThreadHandle thread = nullptr;
};

gboolean start_worker(gpointer data) {
    Start* start = static_cast<Start*>(data);
    start->thread = thread_start(start->worker, start->argument);
    return G_SOURCE_REMOVE;
}

} // namespace

UpdaterWindowEnd updater_system_window::run(UpdaterWorker worker, void* argument) {
    // The rest of the program reads and writes numbers and texts in the C
    // locale (versions such as "1.10" among them); GTK must not switch the
    // process to the user's locale behind its back.
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr))
        return UpdaterWindowEnd::no_window;
    build_window();
    g_state.reset();
    g_refresh_timer = 0;
    g_closed_by_worker = false;
    g_window_thread.open();
    gtk_widget_show_all(g_window.window);

    // The worker starts once the window has been drawn, as the dialog's
    // start message comes after it was shown.
    Start start{worker, argument};
    g_idle_add_full(G_PRIORITY_LOW, start_worker, &start, nullptr);
    gtk_main();

    g_window_thread.close();
    const bool by_worker = g_closed_by_worker;
    if (g_refresh_timer != 0) {
        g_source_remove(g_refresh_timer);
        g_refresh_timer = 0;
    }
    gtk_widget_destroy(g_window.window);
    while (gtk_events_pending())
        gtk_main_iteration();
    if (!start.thread)
        return UpdaterWindowEnd::closed_by_player;
    if (!by_worker) {
        thread_detach(start.thread);
        return UpdaterWindowEnd::closed_by_player;
    }
    // Requests made after the close do nothing, so the worker can finish
    // without this thread.
    thread_join(start.thread);
    return UpdaterWindowEnd::closed_by_worker;
}

updater_system_window::updater_system_window() : posting_updater_window(g_state) {}

void updater_system_window::wake(bool needed) {
    wake_window(needed);
}

void updater_system_window::message_box(const char* text) {
    std::string copy(text);
    bool shown = false;
    // Only the message box makes the worker wait.
    g_window_thread.run([&] {
        run_message_dialog(GTK_WINDOW(g_window.window), GTK_MESSAGE_ERROR, "Error", copy.c_str(),
                           false);
        shown = true;
    });
    if (!shown) {
        fprintf(stderr, "[%s]\n", text);
        fflush(stderr);
    }
}

} // namespace qp

extern "C" __attribute__((visibility("default"))) qp::updater_window* quill_updater_window_2() {
    static qp::updater_system_window window;
    return &window;
}

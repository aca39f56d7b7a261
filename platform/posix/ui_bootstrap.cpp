// The bootstrap's window in GTK 3, laid out as the Windows dialog: 182 by 76
// dialog units at two pixels per unit. GTK belongs to the window's thread;
// the work's requests are queued to it, and the work waits for each.
#include "../common/system_windows.h"

#include <gtk/gtk.h>

#include "gtk_aids.h"

#include <string>

#include "quill/platform/thread.h"

// The artwork, built in from bootstrap/res.
extern const unsigned char quill_bootstrap_banner[];
extern const unsigned long quill_bootstrap_banner_size;
extern const unsigned char quill_bootstrap_icon[];
extern const unsigned long quill_bootstrap_icon_size;

namespace qp {
namespace {

struct Shown {
    GtkWidget* window = nullptr;
    GtkWidget* status = nullptr;
    GtkWidget* lamp = nullptr;
    bool lamp_coloured = false; // until then the control's own grey
    Colour lamp_colour{0, 0, 0};
};

Shown g_shown;
// Open from before the work starts until after it has returned, so the
// work's requests always find the window's loop running.
WindowThread g_window_thread;

// A progress control with a border that only ever shows its colour.
gboolean draw_lamp(GtkWidget* lamp, cairo_t* cr, gpointer) {
    const int width = gtk_widget_get_allocated_width(lamp);
    const int height = gtk_widget_get_allocated_height(lamp);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
    cairo_paint(cr);
    // Until it is coloured, the control's own grey.
    set_cairo_colour(cr, g_shown.lamp_coloured ? g_shown.lamp_colour : Colour{212, 208, 200});
    cairo_rectangle(cr, 1, 1, width - 2, height - 2);
    cairo_fill(cr);
    return TRUE;
}

void build_window() {
    g_shown = Shown();
    GtkWidget* window = new_dialog_window(quill_bootstrap_icon, quill_bootstrap_icon_size);
    g_shown.window = window;
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    // The player cannot close it: a swap stopped half-way would leave no
    // updater at all.
    g_signal_connect(window, "delete-event", G_CALLBACK(gtk_true), nullptr);

    GtkWidget* layout = new_dialog_layout(window, 182, 76);

    GtkWidget* banner;
    if (GdkPixbuf* picture =
            picture_from_bytes(quill_bootstrap_banner, quill_bootstrap_banner_size)) {
        banner = gtk_image_new_from_pixbuf(picture);
        g_object_unref(picture);
    } else {
        banner = gtk_label_new(nullptr);
    }
    place_in_dialog(layout, banner, 3, 4, 176, 50);

    GtkWidget* sunken = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(sunken), GTK_SHADOW_IN);
    g_shown.status = gtk_label_new("Initialize..");
    gtk_label_set_ellipsize(GTK_LABEL(g_shown.status), PANGO_ELLIPSIZE_END);
    set_label_points(g_shown.status, 8);
    gtk_container_add(GTK_CONTAINER(sunken), g_shown.status);
    place_in_dialog(layout, sunken, 12, 60, 148, 8);

    g_shown.lamp = gtk_drawing_area_new();
    g_signal_connect(g_shown.lamp, "draw", G_CALLBACK(draw_lamp), nullptr);
    place_in_dialog(layout, g_shown.lamp, 165, 59, 10, 8);
}

struct Run {
    BootstrapWork work;
    void* argument;
    ThreadHandle thread = nullptr;
};

gboolean leave_loop(gpointer) {
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

void run_work(void* data) {
    Run* run = static_cast<Run*>(data);
    run->work(run->argument);
    g_idle_add(leave_loop, nullptr);
}

// Starts the work once the window has been drawn.
gboolean start_work(gpointer data) {
    Run* run = static_cast<Run*>(data);
    run->thread = thread_start(run_work, run);
    if (!run->thread)
        gtk_main_quit();
    return G_SOURCE_REMOVE;
}

void flush_events() {
    while (gtk_events_pending())
        gtk_main_iteration();
}

} // namespace

bool bootstrap_system_window::run(BootstrapWork work, void* argument) {
    if (!gtk_init_check(nullptr, nullptr))
        return false;
    build_window();
    gtk_widget_show_all(g_shown.window);
    Run run{work, argument};
    g_window_thread.open();
    g_idle_add_full(G_PRIORITY_LOW, start_work, &run, nullptr);
    gtk_main();
    if (run.thread)
        thread_join(run.thread);
    g_window_thread.close();
    gtk_widget_destroy(g_shown.window);
    g_shown = Shown();
    flush_events();
    return run.thread != nullptr;
}

void bootstrap_system_window::set_status(const char* text) {
    // The label takes UTF-8 only; anything else would be refused.
    const std::string shown = g_utf8_validate(text, -1, nullptr) ? text : "?";
    g_window_thread.run([shown] { gtk_label_set_text(GTK_LABEL(g_shown.status), shown.c_str()); });
}

void bootstrap_system_window::set_lamp(const Colour& colour) {
    g_window_thread.run([colour] {
        g_shown.lamp_coloured = true;
        g_shown.lamp_colour = colour;
        gtk_widget_queue_draw(g_shown.lamp);
    });
}

std::string bootstrap_system_window::status() {
    std::string text;
    g_window_thread.run([&text] { text = gtk_label_get_text(GTK_LABEL(g_shown.status)); });
    return text;
}

bool bootstrap_system_window::message_box(const char* text, const char* caption) {
    const std::string message = g_utf8_validate(text, -1, nullptr) ? text : "?";
    const std::string title = caption ? caption : "Error";
    bool shown = false;
    const bool open = g_window_thread.is_open();
    auto show = [&] {
        run_message_dialog(open ? GTK_WINDOW(g_shown.window) : nullptr, GTK_MESSAGE_WARNING,
                           title.c_str(), message.c_str(), true);
        shown = true;
    };
    if (open) {
        g_window_thread.run(show);
    } else if (gtk_init_check(nullptr, nullptr)) {
        show();
        flush_events();
    }
    return shown;
}

bootstrap_window& system_bootstrap_window() {
    static bootstrap_system_window window;
    return window;
}

} // namespace qp

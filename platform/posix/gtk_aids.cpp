#include "gtk_aids.h"

#include <stdio.h>

#include <memory>
#include <utility>

namespace qp {

GdkPixbuf* picture_from_bytes(const unsigned char* bytes, size_t size) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GdkPixbuf* picture = nullptr;
    if (gdk_pixbuf_loader_write(loader, bytes, size, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr)) {
        picture = gdk_pixbuf_loader_get_pixbuf(loader);
        if (picture)
            g_object_ref(picture);
    } else {
        // A loader must be closed, even one that failed.
        gdk_pixbuf_loader_close(loader, nullptr);
    }
    g_object_unref(loader);
    return picture;
}

GtkWidget* new_dialog_window(const unsigned char* icon, size_t icon_size) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    if (GdkPixbuf* picture = picture_from_bytes(icon, icon_size)) {
        gtk_window_set_icon(GTK_WINDOW(window), picture);
        g_object_unref(picture);
    }
    return window;
}

GtkWidget* new_dialog_layout(GtkWidget* window, int width, int height) {
    GtkWidget* layout = gtk_fixed_new();
    gtk_widget_set_size_request(layout, width * kPixelsPerDialogUnit,
                                height * kPixelsPerDialogUnit);
    gtk_container_add(GTK_CONTAINER(window), layout);
    return layout;
}

void place_in_dialog(GtkWidget* layout, GtkWidget* widget, int x, int y, int width, int height) {
    gtk_widget_set_size_request(widget, width * kPixelsPerDialogUnit,
                                height * kPixelsPerDialogUnit);
    gtk_fixed_put(GTK_FIXED(layout), widget, x * kPixelsPerDialogUnit, y * kPixelsPerDialogUnit);
}

void set_label_points(GtkWidget* label, int points) {
    char css[48];
    snprintf(css, sizeof css, "label { font-size: %dpt; }", points);
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(label),
                                   GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void set_cairo_colour(cairo_t* cr, const Colour& colour) {
    cairo_set_source_rgb(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

namespace {

gboolean answer_dialog(gpointer dialog) {
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    return G_SOURCE_REMOVE;
}

} // namespace

void run_message_dialog(GtkWindow* parent, GtkMessageType type, const char* title,
                        const char* text, bool centred, long close_after_ms) {
    GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK,
                                               "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), title);
    if (centred)
        gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    guint timer = 0;
    if (close_after_ms >= 0)
        timer = g_timeout_add(static_cast<guint>(close_after_ms), answer_dialog, dialog);
    gtk_dialog_run(GTK_DIALOG(dialog));
    if (timer != 0 && g_main_context_find_source_by_id(nullptr, timer))
        g_source_remove(timer);
    gtk_widget_destroy(dialog);
}

struct WindowThread::Request {
    WindowThread* owner;
    std::function<void()> action;
    bool done = false;
};

gboolean WindowThread::carry_out(gpointer data) {
    std::shared_ptr<Request>* request = static_cast<std::shared_ptr<Request>*>(data);
    WindowThread& owner = *(*request)->owner;
    if (owner.is_open())
        (*request)->action();
    {
        std::lock_guard<std::mutex> hold(owner.lock_);
        (*request)->done = true;
    }
    owner.changed_.notify_all();
    delete request;
    return G_SOURCE_REMOVE;
}

void WindowThread::open() {
    std::lock_guard<std::mutex> hold(lock_);
    open_ = true;
}

void WindowThread::close() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        open_ = false;
    }
    changed_.notify_all();
}

bool WindowThread::is_open() {
    std::lock_guard<std::mutex> hold(lock_);
    return open_;
}

void WindowThread::run(std::function<void()> action) {
    auto request = std::make_shared<Request>();
    request->owner = this;
    request->action = std::move(action);
    std::unique_lock<std::mutex> hold(lock_);
    if (!open_)
        return;
    g_idle_add(carry_out, new std::shared_ptr<Request>(request));
    changed_.wait(hold, [&] { return request->done || !open_; });
}

void WindowThread::post(GSourceFunc function, gpointer data) {
    std::lock_guard<std::mutex> hold(lock_);
    if (open_)
        g_idle_add(function, data);
}

} // namespace qp

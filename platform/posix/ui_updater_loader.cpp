// The program's side of the updater's window: the system's window stands
// for the window module's, which it loads once a window is asked for (see
// updater_window_module.h). Until then, and where the module cannot be
// loaded, there is no window: the setters do nothing and the run is shown
// as text, as without a display.
#include <dlfcn.h>
#include <stdio.h>

#include <string>

#include "quill/platform/shell.h"
#include "updater_window_module.h"

#if defined(__SANITIZE_ADDRESS__)
// GTK, fontconfig and D-Bus keep caches for the life of the process that
// the leak checker would report at every exit of a window program. The
// checker only asks the program itself, not a module it loaded.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n"
           "leak:libpango-1.0.so\nleak:libpangoft2-1.0.so\nleak:libcairo.so\n";
}
#endif

#if defined(__SANITIZE_THREAD__)
// Fontconfig's start-up thread, which pango starts when the window is
// built, shares its caches with the window's thread in ways the race
// checker cannot see through an uninstrumented library.
extern "C" __attribute__((visibility("default"), used)) const char* __tsan_default_suppressions() {
    return "race:libfontconfig.so.1\nrace:libpango-1.0.so.0\nrace:libglib-2.0.so.0\n";
}
#endif

namespace qp {
namespace {

updater_window* load_module() {
    const std::string folder = program_folder();
    const std::string path = (folder.empty() ? "." : folder) + "/" + kUpdaterWindowModule;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        fprintf(stderr, "no window: %s\n", dlerror());
        return nullptr;
    }
    const auto entry =
        reinterpret_cast<QuillUpdaterWindowEntry>(dlsym(module, QUILL_UPDATER_WINDOW_ENTRY));
    if (!entry) {
        fprintf(stderr, "no window: %s has no %s\n", path.c_str(), QUILL_UPDATER_WINDOW_ENTRY);
        return nullptr;
    }
    return entry();
}

class module_window final : public updater_window {
public:
    UpdaterWindowEnd run(UpdaterWorker worker, void* argument) override {
        if (!loaded_)
            loaded_ = load_module();
        if (!loaded_)
            return UpdaterWindowEnd::no_window;
        return loaded_->run(worker, argument);
    }
    void set_status(const char* text) override {
        if (loaded_)
            loaded_->set_status(text);
    }
    void set_bar_range(int control, int maximum) override {
        if (loaded_)
            loaded_->set_bar_range(control, maximum);
    }
    void set_bar_colours(int control, const Colour* bar, const Colour* background) override {
        if (loaded_)
            loaded_->set_bar_colours(control, bar, background);
    }
    void step_bar(int control) override {
        if (loaded_)
            loaded_->step_bar(control);
    }
    void repaint() override {
        if (loaded_)
            loaded_->repaint();
    }
    void close() override {
        if (loaded_)
            loaded_->close();
    }
    void message_box(const char* text) override {
        if (loaded_) {
            loaded_->message_box(text);
            return;
        }
        fprintf(stderr, "[%s]\n", text);
        fflush(stderr);
    }

private:
    // Set once, by the thread that opens the window, before the worker it
    // starts exists; the module stays loaded for the rest of the process,
    // since a worker the player left behind may still call it.
    updater_window* loaded_ = nullptr;
};

} // namespace

updater_window& system_updater_window() {
    static module_window window;
    return window;
}

} // namespace qp

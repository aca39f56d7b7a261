// The embedded view that shows the launcher page: the platform's browser
// control placed in the launcher's window. It handles no navigation events
// of its own; what the page does is the browser's business.
#ifndef QUILL_LAUNCHER_CWEBVIEW_H
#define QUILL_LAUNCHER_CWEBVIEW_H

#include "quill/platform/ui_launcher.h"

class CWebView {
public:
    // Creates the view as a visible child of the window over rect. False
    // when the system cannot embed a browser; the window goes on without.
    bool Create(qp::launcher_window& window, const qp::launcher_rect& rect, int id);
    // Starts loading the page. False when there is no view or the request
    // was refused at once.
    bool Navigate(const char* url);
    // The last step of setting the view up, after the first navigation.
    void OnInitialUpdate();

    bool IsCreated() const { return m_pWindow != nullptr; }

private:
    qp::launcher_window* m_pWindow = nullptr;
};

#endif

#include "CWebView.h"

bool CWebView::Create(qp::launcher_window& window, const qp::launcher_rect& rect, int id) {
    if (!window.create_web_view(rect, id))
        return false;
    m_pWindow = &window;
    return true;
}

bool CWebView::Navigate(const char* url) {
    return m_pWindow != nullptr && m_pWindow->navigate(url);
}

void CWebView::OnInitialUpdate() {
    // The platform's view needs nothing more once it has its page.
}

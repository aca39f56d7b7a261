// Locks and events over Win32 critical sections and kernel events.
#include "quill/platform/sync.h"

namespace qp {

void lock_init(QuillRawLock* lock) {
    InitializeCriticalSection(lock);
}
void lock_destroy(QuillRawLock* lock) {
    DeleteCriticalSection(lock);
}
void lock_enter(QuillRawLock* lock) {
    EnterCriticalSection(lock);
}
void lock_leave(QuillRawLock* lock) {
    LeaveCriticalSection(lock);
}

struct Event::Impl {
    HANDLE handle;
};

Event::Event(bool manual_reset, bool initially_set) : impl_(new Impl) {
    impl_->handle =
        CreateEventA(nullptr, manual_reset ? TRUE : FALSE, initially_set ? TRUE : FALSE, nullptr);
}

Event::~Event() {
    if (impl_->handle)
        CloseHandle(impl_->handle);
    delete impl_;
}

HANDLE Event::native_handle() const {
    return impl_->handle;
}

void Event::set() {
    SetEvent(impl_->handle);
}
void Event::reset() {
    ResetEvent(impl_->handle);
}

bool Event::wait(uint32_t timeout_ms) {
    const DWORD limit = timeout_ms == kWaitForever ? INFINITE : timeout_ms;
    return WaitForSingleObject(impl_->handle, limit) == WAIT_OBJECT_0;
}

int wait_either(Event& first, Event& second, uint32_t timeout_ms) {
    HANDLE both[2] = {first.impl()->handle, second.impl()->handle};
    const DWORD limit = timeout_ms == kWaitForever ? INFINITE : timeout_ms;
    const DWORD result = WaitForMultipleObjects(2, both, FALSE, limit);
    if (result == WAIT_OBJECT_0)
        return 0;
    if (result == WAIT_OBJECT_0 + 1)
        return 1;
    return -1;
}

} // namespace qp

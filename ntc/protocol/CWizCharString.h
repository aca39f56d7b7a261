// CWizCharString<N>: text of fixed capacity, at most N characters and a
// terminating zero, stored at the start of the object so that the object's
// address is the address of its text. Chat texts use N = 200, nicknames 20.
#ifndef QUILLNTC_PROTOCOL_CWIZCHARSTRING_H
#define QUILLNTC_PROTOCOL_CWIZCHARSTRING_H

#include <cstddef>
#include <cstring>

template <std::size_t N>
class CWizCharString {
public:
    CWizCharString() { m_szText[0] = '\0'; }
    CWizCharString(const char* text) { AssignText(text); }
    CWizCharString& operator=(const char* text) {
        AssignText(text);
        return *this;
    }

    operator const char*() const { return m_szText; }
    const char* GetText() const { return m_szText; }
    std::size_t GetLength() const { return std::strlen(m_szText); }
    static constexpr std::size_t GetCapacity() { return N; }

    // Keeps the first `size` bytes (at most N) of `bytes` and terminates them.
    void Assign(const char* bytes, std::size_t size) {
        std::size_t kept = size < N ? size : N;
        if (kept > 0 && bytes != m_szText)
            std::memmove(m_szText, bytes, kept);
        m_szText[kept] = '\0';
    }

    // The writable storage, for readers that fill the text in place; at most
    // N bytes may be written, then a zero at the end of what was written.
    char* GetBuffer() { return m_szText; }

private:
    void AssignText(const char* text) {
        if (text == nullptr) {
            m_szText[0] = '\0';
            return;
        }
        Assign(text, std::strlen(text));
    }

    char m_szText[N + 1];
};

#endif

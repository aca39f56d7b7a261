// CString: the network library's narrow string, a counted reference to a
// shared record, with the operations and the behaviour of the string class of
// the Windows class library that the game client was written against.
//
// Texts are bytes in the system's code page: 949 on Windows, where a Korean
// character takes two bytes and its second byte may look like an ASCII
// letter, and UTF-8 on Linux. Positions, lengths and counts are in bytes.
// The character operations (case, reversal, search for a character, span,
// trim) take a character of several bytes as one whole character and never
// change, match or split one of its bytes.
//
// Copies share one record; a change first gives the string a record of its
// own (copy on write). Strings that share a record may be copied and
// destroyed on different threads; one CString object is not meant to be used
// by two threads at once.
//
// Out-of-range positions and counts are clamped to the text, or the call
// does nothing; nothing is ever read or written outside the record. When
// memory cannot be had (or a length would pass the largest record), a
// changing operation leaves the string as it was and GetBuffer and its
// relatives return null; nothing throws.
#ifndef QUILLNTC_CSTRING_H
#define QUILLNTC_CSTRING_H

#include <stdarg.h>

#include <atomic>

#include "NTCExport.h"
#include "quill/platform/types.h"

// The record behind a string: this header, then nAllocLength + 1 bytes of
// room that hold the text and its terminating zero. The empty string is one
// static record that is never counted and never freed.
struct CStringData {
    std::atomic<long> nRefs; // strings sharing the record; -1 while locked
    int nDataLength;         // bytes of text, without the terminating zero
    int nAllocLength;        // bytes of room for text, without the zero

    constexpr CStringData(long refs, int length, int alloc)
        : nRefs(refs), nDataLength(length), nAllocLength(alloc) {}
    char* data() { return reinterpret_cast<char*>(this + 1); }
    const char* data() const { return reinterpret_cast<const char*>(this + 1); }
};

class QUILLNTC_API CString {
public:
    CString();
    // Shares other's record, unless other's buffer is locked: then a copy.
    CString(const CString& other);
    // Takes other's record; other is left empty.
    CString(CString&& other) noexcept;
    // ch repeated nRepeat times; empty when nRepeat < 1.
    CString(char ch, int nRepeat = 1);
    // The bytes up to the zero; empty for a null pointer.
    CString(const char* text);
    CString(const unsigned char* text);
    // nLength bytes of text, zeros included; empty when nLength < 1.
    CString(const char* text, int nLength);
    // UTF-16 text (up to its zero, or nLength units) in the system's code
    // page; characters the code page lacks become '?'.
    CString(const WCHAR* text);
    CString(const WCHAR* text, int nLength);
    ~CString();

    // A string whose buffer is locked keeps its own record and takes a copy
    // of the new text; otherwise assigning a CString shares its record.
    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(char ch);
    CString& operator=(const char* text);
    CString& operator=(const unsigned char* text);
    CString& operator=(const WCHAR* text);

    CString& operator+=(const CString& text);
    CString& operator+=(char ch);
    CString& operator+=(const char* text);

    int GetLength() const { return m_pData->nDataLength; }
    bool IsEmpty() const { return m_pData->nDataLength == 0; }
    // Makes the string empty; a locked buffer stays, with no text in it.
    void Empty();
    // The byte at nIndex; 0 when nIndex is not inside the text.
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const;
    // Sets the byte at nIndex; nothing when nIndex is not inside the text.
    void SetAt(int nIndex, char ch);
    operator const char*() const { return m_pData->data(); }

    // Negative, 0 or positive as the string sorts before, equal to or after
    // text (a null text counts as empty). Compare: byte order, as strcmp.
    // CompareNoCase: the same with the letters A-Z folded to lower case (as
    // _stricmp; never a trail byte). Collate and CollateNoCase: the order of
    // the user's language. All four stop at the first zero byte.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;
    int Collate(const char* text) const;
    int CollateNoCase(const char* text) const;

    // nCount bytes from nFirst (to the end without nCount); both are clamped
    // to the text.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    // The first (last) nCount bytes, clamped to the text.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    // The longest start of the string made only of (resp. free of)
    // characters of charSet.
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;

    // Letters a-z to A-Z (resp. back); characters of several bytes stay.
    void MakeUpper();
    void MakeLower();
    // Reverses the order of the characters; each keeps its bytes in order.
    void MakeReverse();
    // Replaces every character chOld by chNew (every non-overlapping
    // occurrence of oldText by newText, a null newText counting as empty);
    // returns the count. An empty or null oldText replaces nothing.
    int Replace(char chOld, char chNew);
    int Replace(const char* oldText, const char* newText);
    // Removes every character ch; returns the count.
    int Remove(char ch);
    // Inserts before the byte at nIndex (clamped to 0..length); returns the
    // new length.
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, const char* text);
    // Removes nCount bytes from nIndex, clamped to the text; returns the new
    // length.
    int Delete(int nIndex, int nCount = 1);

    // Trim white space (blank, tab, CR, LF, VT, FF), one character, or every
    // character of a set, from the start or the end.
    void TrimLeft();
    void TrimLeft(char chTarget);
    void TrimLeft(const char* targets);
    void TrimRight();
    void TrimRight(char chTarget);
    void TrimRight(const char* targets);

    // Position of the first character ch (the first occurrence of text) at or
    // after nStart, or -1. A negative nStart counts as 0. An empty text is
    // found at nStart when nStart is inside the string or at its end.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* text, int nStart = 0) const;
    // Position of the last character ch, or -1.
    int ReverseFind(char ch) const;
    // Position of the first character that is in charSet, or -1.
    int FindOneOf(const char* charSet) const;

    // printf rules, with no limit on the length of the result. A format that
    // printf refuses (or a null format) leaves the string empty.
    void Format(const char* format, ...) QUILLNTC_PRINTF(2, 3);
    void FormatV(const char* format, va_list args);
    // FormatMessage rules with a message text: %1 to %99 insert the
    // arguments, as texts unless %<number>!<printf format>! says otherwise;
    // %n is the system's line break and %0 ends the message (the forms known
    // outside Windows are listed in quill/platform/locale.h). A format that
    // cannot be used leaves the string empty.
    void FormatMessageA(const char* format, ...);
    void FormatMessageV(const char* format, va_list* args);

    // Converts the text from the ANSI to the OEM code page (resp. back), in
    // place. On the Korean system both are code page 949.
    void CharToOemA();
    void OemToCharA();

    // The string's own record, with room for at least nMinBufLength bytes
    // (a negative size counts as 0) and a terminating zero; the length stays.
    // Write no further than GetAllocLength() bytes, then call ReleaseBuffer.
    char* GetBuffer(int nMinBufLength);
    // GetBuffer, then the length becomes nNewLength (at least 0).
    char* GetBufferSetLength(int nNewLength);
    // Ends writing into the buffer: the length becomes nNewLength, clamped to
    // the room, or with a negative nNewLength the length of the text up to
    // its first zero; the terminating zero is written.
    void ReleaseBuffer(int nNewLength = -1);
    // Shrinks the string's own record to fit its text.
    void FreeExtra();
    // GetBuffer(0), after which the record is not shared by copies (they
    // take their own) and keeps its place while it has room, until
    // UnlockBuffer.
    char* LockBuffer();
    void UnlockBuffer();
    // Bytes of room for text, without the terminating zero.
    int GetAllocLength() const { return m_pData->nAllocLength; }

private:
    CStringData* m_pData;
};

QUILLNTC_API CString operator+(const CString& left, const CString& right);
QUILLNTC_API CString operator+(const CString& left, char right);
QUILLNTC_API CString operator+(char left, const CString& right);
QUILLNTC_API CString operator+(const CString& left, const char* right);
QUILLNTC_API CString operator+(const char* left, const CString& right);

// clang-format off
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
inline bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
inline bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
inline bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
inline bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
inline bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }
// clang-format on

#endif

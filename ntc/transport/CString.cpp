#include "transport/CString.h"

#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <new>
#include <string>

#include "quill/platform/locale.h"
#include "quill/platform/text.h"

// The string is one pointer, as the game client expects of it.
static_assert(sizeof(CString) == sizeof(void*), "CString holds one pointer");
static_assert(std::atomic<long>::is_always_lock_free, "the count needs no lock of its own");

namespace {

// The count of a locked record, which belongs to one string alone.
const long kLocked = -1;

// The largest room a record may have: its whole size must fit an int, as the
// lengths do.
const int kMaxLength = INT_MAX - static_cast<int>(sizeof(CStringData)) - 1;

// The record of every empty string. It is constant, so a write through it
// would fault at once rather than change every empty string. Its zero follows
// the header directly, as in every record (a char needs no padding).
struct NilRecord {
    CStringData header;
    char zero;
};
constexpr NilRecord kNil = {CStringData(kLocked, 0, 0), '\0'};

CStringData* nil() {
    return const_cast<CStringData*>(&kNil.header);
}

bool is_locked(const CStringData* d) {
    return d != nil() && d->nRefs.load(std::memory_order_relaxed) == kLocked;
}

// True when the string that holds d may write into it. A count of 1 cannot
// rise behind our back (only a holder can copy it), and acquiring it makes
// the last reads of the holders that let go happen before our writes.
bool is_private(const CStringData* d) {
    if (d == nil())
        return false;
    const long refs = d->nRefs.load(std::memory_order_acquire);
    return refs == 1 || refs == kLocked;
}

void free_record(CStringData* d) {
    d->~CStringData();
    free(d);
}

// A record with room for capacity bytes and no text; null when the size is
// out of range or memory is short.
CStringData* allocate(int capacity) {
    if (capacity < 0 || capacity > kMaxLength)
        return nullptr;
    void* memory = malloc(sizeof(CStringData) + static_cast<size_t>(capacity) + 1);
    if (!memory)
        return nullptr;
    CStringData* d = new (memory) CStringData(1, 0, capacity);
    d->data()[0] = '\0';
    return d;
}

// A record holding length bytes of text; null as allocate.
CStringData* make_record(const char* text, int length, int capacity) {
    CStringData* d = allocate(capacity < length ? length : capacity);
    if (!d)
        return nullptr;
    memcpy(d->data(), text, static_cast<size_t>(length));
    d->data()[length] = '\0';
    d->nDataLength = length;
    return d;
}

void release(CStringData* d) {
    if (d == nil())
        return;
    // A locked record has no other holder, so its count is ours alone.
    if (d->nRefs.load(std::memory_order_relaxed) != kLocked &&
        d->nRefs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    free_record(d);
}

// What a new holder of d gets: d itself, shared, or a copy of its text when d
// is locked (the empty record when that copy cannot be made).
CStringData* share(CStringData* d) {
    if (d == nil())
        return d;
    if (is_locked(d)) {
        CStringData* copy = make_record(d->data(), d->nDataLength, 0);
        return copy ? copy : nil();
    }
    d->nRefs.fetch_add(1, std::memory_order_relaxed);
    return d;
}

// Puts fresh, a new record of the string's, in place of d. A locked string
// keeps its buffer while the text fits, so a pointer from LockBuffer stays
// good, and stays locked when it must move.
void adopt(CStringData*& d, CStringData* fresh) {
    if (is_locked(d)) {
        if (d->nAllocLength >= fresh->nDataLength) {
            memcpy(d->data(), fresh->data(), static_cast<size_t>(fresh->nDataLength) + 1);
            d->nDataLength = fresh->nDataLength;
            free_record(fresh);
            return;
        }
        fresh->nRefs.store(kLocked, std::memory_order_relaxed);
    }
    release(d);
    d = fresh;
}

// Room that a string growing to needed bytes asks for: half as much again
// as it had, so that appending in a loop does not copy the text each time.
int grown(const CStringData* d, int needed) {
    const int current = d->nAllocLength;
    const int ahead = current > kMaxLength - current / 2 ? kMaxLength : current + current / 2;
    return needed > ahead ? needed : ahead;
}

// Gives the string a record of its own with room for at least capacity
// bytes, keeping its text. False, with nothing changed, when memory is short.
bool make_private(CStringData*& d, int capacity) {
    if (is_private(d) && d->nAllocLength >= capacity)
        return true;
    CStringData* fresh = make_record(d->data(), d->nDataLength, capacity);
    if (!fresh)
        return false;
    if (is_locked(d))
        fresh->nRefs.store(kLocked, std::memory_order_relaxed);
    release(d);
    d = fresh;
    return true;
}

// True when p points into d's room (text that would move under a change).
bool points_into(const CStringData* d, const char* p) {
    const std::less_equal<const char*> at_most;
    return at_most(d->data(), p) && at_most(p, d->data() + d->nAllocLength);
}

// Makes the text the length bytes at text, which may lie in the string's own
// record. False when memory is short.
bool set_text(CStringData*& d, const char* text, int length) {
    if (length < 0)
        length = 0;
    if (is_private(d) && d->nAllocLength >= length) {
        memmove(d->data(), text, static_cast<size_t>(length));
        d->data()[length] = '\0';
        d->nDataLength = length;
        return true;
    }
    if (length == 0) {
        release(d);
        d = nil();
        return true;
    }
    CStringData* fresh = make_record(text, length, 0);
    if (!fresh)
        return false;
    adopt(d, fresh);
    return true;
}

// Appends length bytes at text, which may lie in the string's own text.
void append(CStringData*& d, const char* text, int length) {
    if (length <= 0)
        return;
    const int old_length = d->nDataLength;
    if (length > kMaxLength - old_length)
        return;
    const int needed = old_length + length;
    if (is_private(d) && d->nAllocLength >= needed) {
        memmove(d->data() + old_length, text, static_cast<size_t>(length));
    } else {
        // A string that is its own grows ahead; a shared one was copied from
        // and gets exactly what it needs.
        CStringData* fresh = allocate(is_private(d) ? grown(d, needed) : needed);
        if (!fresh)
            return;
        memcpy(fresh->data(), d->data(), static_cast<size_t>(old_length));
        memcpy(fresh->data() + old_length, text, static_cast<size_t>(length));
        if (is_locked(d))
            fresh->nRefs.store(kLocked, std::memory_order_relaxed);
        release(d);
        d = fresh;
    }
    d->nDataLength = needed;
    d->data()[needed] = '\0';
}

// The length of a C string as a text length; false when it is too long.
bool text_length(const char* text, int* length) {
    const size_t n = text ? strlen(text) : 0;
    if (n > static_cast<size_t>(kMaxLength))
        return false;
    *length = static_cast<int>(n);
    return true;
}

// Byte count of the character at text[i] of a text of length bytes.
int char_at(const char* text, int i, int length) {
    return static_cast<int>(qp::char_length(text + i, static_cast<size_t>(length - i)));
}

// Walks the characters (one or two bytes each) of text from from, itself a
// character start, calling stop(i, n) for each; the position of the first
// for which it is true, or length. A character's length is read before stop
// sees it, so stop may change its bytes.
template <class Stop> int walk_chars(const char* text, int from, int length, Stop stop) {
    int i = from;
    while (i < length) {
        const int n = char_at(text, i, length);
        if (stop(i, n))
            return i;
        i += n;
    }
    return i;
}

// Applies a change of the bytes in place (case, code page) to the text, made
// this string's own first; an empty text is left alone.
void change_in_place(CStringData*& d, void (*change)(char* text, size_t length)) {
    if (d->nDataLength > 0 && make_private(d, 0))
        change(d->data(), static_cast<size_t>(d->nDataLength));
}

// True when the character ch (n bytes) is one of the characters of set.
bool set_contains(const char* set, const char* ch, int n) {
    if (!set)
        return false;
    while (*set) {
        const int k = static_cast<int>(qp::char_length(set, SIZE_MAX));
        if (k == n && memcmp(set, ch, static_cast<size_t>(n)) == 0)
            return true;
        set += k;
    }
    return false;
}

bool is_white_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Which characters a trim removes.
struct TrimSet {
    enum Kind { kWhiteSpace, kOne, kSet } kind;
    char one;
    const char* set;

    bool matches(const char* ch, int n) const {
        switch (kind) {
        case kWhiteSpace:
            return n == 1 && is_white_space(*ch);
        case kOne:
            return n == 1 && *ch == one;
        default:
            return set_contains(set, ch, n);
        }
    }
};

void trim_left(CStringData*& d, const TrimSet& targets) {
    const char* text = d->data();
    const int length = d->nDataLength;
    const int i =
        walk_chars(text, 0, length, [&](int at, int n) { return !targets.matches(text + at, n); });
    if (i > 0)
        set_text(d, text + i, length - i);
}

void trim_right(CStringData*& d, const TrimSet& targets) {
    const char* text = d->data();
    const int length = d->nDataLength;
    // Characters can only be told apart from the start, so walk forward and
    // remember where the last run of targets began.
    int run = length;
    walk_chars(text, 0, length, [&](int i, int n) {
        if (!targets.matches(text + i, n))
            run = length;
        else if (run == length)
            run = i;
        return false;
    });
    if (run < length)
        set_text(d, text, run);
}

// Length of the start of text made of characters in set (or not in set).
int span(const CStringData* d, const char* set, bool in_set) {
    const char* text = d->data();
    const int length = d->nDataLength;
    return walk_chars(text, 0, length,
                      [&](int i, int n) { return set_contains(set, text + i, n) != in_set; });
}

// The first character start at or after nStart (clamped to 0..length).
int first_char_from(const CStringData* d, int nStart) {
    return walk_chars(d->data(), 0, d->nDataLength, [&](int i, int) { return i >= nStart; });
}

// Position of the first occurrence of sub (sub_length > 0 bytes) that starts
// at a character of the text at or after from, itself a character start; -1
// when there is none.
int find_from(const CStringData* d, const char* sub, int sub_length, int from) {
    const char* text = d->data();
    const int length = d->nDataLength;
    int i = from;
    while (i <= length - sub_length) {
        if (text[i] == sub[0] && memcmp(text + i, sub, static_cast<size_t>(sub_length)) == 0)
            return i;
        i += char_at(text, i, length);
    }
    return -1;
}

int sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int compare_bytes(unsigned char x, unsigned char y) {
    return x < y ? -1 : (x > y ? 1 : 0);
}

unsigned char folded(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// _stricmp order, one character at a time: both texts are at the start of a
// character at every step, as everything before was equal.
int compare_no_case(const char* a, const char* b) {
    size_t i = 0;
    for (;;) {
        const size_t n = qp::char_length(a + i, SIZE_MAX);
        if (n > 1) {
            // No byte of a longer character is zero, so b is read no further
            // than its first difference from a, at latest its zero.
            for (size_t k = 0; k < n; ++k, ++i)
                if (a[i] != b[i])
                    return compare_bytes(static_cast<unsigned char>(a[i]),
                                         static_cast<unsigned char>(b[i]));
            continue;
        }
        const unsigned char x = folded(static_cast<unsigned char>(a[i]));
        const unsigned char y = folded(static_cast<unsigned char>(b[i]));
        if (x != y || x == 0)
            return compare_bytes(x, y);
        ++i;
    }
}

// The text of two pieces end to end; empty when it cannot be made.
CString concatenate(const char* a, int a_length, const char* b, int b_length) {
    CString result;
    if (a_length > kMaxLength - b_length)
        return result;
    char* buffer = result.GetBuffer(a_length + b_length);
    if (!buffer)
        return result;
    memcpy(buffer, a, static_cast<size_t>(a_length));
    memcpy(buffer + a_length, b, static_cast<size_t>(b_length));
    result.ReleaseBuffer(a_length + b_length);
    return result;
}

} // namespace

// --- construction and assignment ---------------------------------------------

CString::CString() : m_pData(nil()) {}

CString::CString(const CString& other) : m_pData(share(other.m_pData)) {}

CString::CString(CString&& other) noexcept : m_pData(other.m_pData) {
    other.m_pData = nil();
}

CString::CString(char ch, int nRepeat) : m_pData(nil()) {
    if (nRepeat < 1)
        return;
    CStringData* d = allocate(nRepeat);
    if (!d)
        return;
    memset(d->data(), static_cast<unsigned char>(ch), static_cast<size_t>(nRepeat));
    d->data()[nRepeat] = '\0';
    d->nDataLength = nRepeat;
    m_pData = d;
}

CString::CString(const char* text) : m_pData(nil()) {
    *this = text;
}

CString::CString(const unsigned char* text) : m_pData(nil()) {
    *this = reinterpret_cast<const char*>(text);
}

CString::CString(const char* text, int nLength) : m_pData(nil()) {
    if (text && nLength > 0)
        set_text(m_pData, text, nLength);
}

CString::CString(const WCHAR* text) : m_pData(nil()) {
    *this = text;
}

CString::CString(const WCHAR* text, int nLength) : m_pData(nil()) {
    if (text && nLength > 0) {
        const std::string narrow = qp::wide_to_narrow(text, nLength);
        if (narrow.size() <= static_cast<size_t>(kMaxLength))
            set_text(m_pData, narrow.data(), static_cast<int>(narrow.size()));
    }
}

CString::~CString() {
    release(m_pData);
}

CString& CString::operator=(const CString& other) {
    if (m_pData == other.m_pData)
        return *this;
    if (is_locked(m_pData)) {
        set_text(m_pData, other.m_pData->data(), other.m_pData->nDataLength);
    } else {
        CStringData* shared = share(other.m_pData);
        release(m_pData);
        m_pData = shared;
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept {
    if (this == &other)
        return *this;
    if (is_locked(m_pData)) {
        set_text(m_pData, other.m_pData->data(), other.m_pData->nDataLength);
    } else {
        release(m_pData);
        m_pData = other.m_pData;
        other.m_pData = nil();
    }
    return *this;
}

CString& CString::operator=(char ch) {
    set_text(m_pData, &ch, 1);
    return *this;
}

CString& CString::operator=(const char* text) {
    int length;
    if (text_length(text, &length))
        set_text(m_pData, text ? text : "", length);
    return *this;
}

CString& CString::operator=(const unsigned char* text) {
    return *this = reinterpret_cast<const char*>(text);
}

CString& CString::operator=(const WCHAR* text) {
    const std::string narrow = qp::wide_to_narrow(text);
    if (narrow.size() <= static_cast<size_t>(kMaxLength))
        set_text(m_pData, narrow.data(), static_cast<int>(narrow.size()));
    return *this;
}

CString& CString::operator+=(const CString& text) {
    append(m_pData, text.m_pData->data(), text.m_pData->nDataLength);
    return *this;
}

CString& CString::operator+=(char ch) {
    append(m_pData, &ch, 1);
    return *this;
}

CString& CString::operator+=(const char* text) {
    int length;
    if (text && text_length(text, &length))
        append(m_pData, text, length);
    return *this;
}

CString operator+(const CString& left, const CString& right) {
    return concatenate(left, left.GetLength(), right, right.GetLength());
}

CString operator+(const CString& left, char right) {
    return concatenate(left, left.GetLength(), &right, 1);
}

CString operator+(char left, const CString& right) {
    return concatenate(&left, 1, right, right.GetLength());
}

CString operator+(const CString& left, const char* right) {
    int length;
    if (!text_length(right, &length))
        return left;
    return concatenate(left, left.GetLength(), right ? right : "", length);
}

CString operator+(const char* left, const CString& right) {
    int length;
    if (!text_length(left, &length))
        return right;
    return concatenate(left ? left : "", length, right, right.GetLength());
}

// --- access --------------------------------------------------------------------

void CString::Empty() {
    if (is_locked(m_pData)) {
        m_pData->nDataLength = 0;
        m_pData->data()[0] = '\0';
        return;
    }
    release(m_pData);
    m_pData = nil();
}

char CString::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_pData->nDataLength)
        return '\0';
    return m_pData->data()[nIndex];
}

char CString::operator[](int nIndex) const {
    return GetAt(nIndex);
}

void CString::SetAt(int nIndex, char ch) {
    if (nIndex < 0 || nIndex >= m_pData->nDataLength)
        return;
    if (make_private(m_pData, 0))
        m_pData->data()[nIndex] = ch;
}

// --- comparison ----------------------------------------------------------------

int CString::Compare(const char* text) const {
    return sign(strcmp(m_pData->data(), text ? text : ""));
}

int CString::CompareNoCase(const char* text) const {
    return compare_no_case(m_pData->data(), text ? text : "");
}

int CString::Collate(const char* text) const {
    return sign(qp::collate(m_pData->data(), text ? text : ""));
}

int CString::CollateNoCase(const char* text) const {
    return sign(qp::collate_no_case(m_pData->data(), text ? text : ""));
}

// --- extraction ----------------------------------------------------------------

CString CString::Mid(int nFirst) const {
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > m_pData->nDataLength)
        nFirst = m_pData->nDataLength;
    return Mid(nFirst, m_pData->nDataLength - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const {
    const int length = m_pData->nDataLength;
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > length)
        nFirst = length;
    if (nCount < 0)
        nCount = 0;
    if (nCount > length - nFirst)
        nCount = length - nFirst;
    if (nFirst == 0 && nCount == length)
        return *this;
    return CString(m_pData->data() + nFirst, nCount);
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    const int length = m_pData->nDataLength;
    if (nCount < 0)
        nCount = 0;
    if (nCount > length)
        nCount = length;
    return Mid(length - nCount, nCount);
}

CString CString::SpanIncluding(const char* charSet) const {
    return Left(span(m_pData, charSet, true));
}

CString CString::SpanExcluding(const char* charSet) const {
    return Left(span(m_pData, charSet, false));
}

// --- changes -------------------------------------------------------------------

void CString::MakeUpper() {
    change_in_place(m_pData, qp::upper_case);
}

void CString::MakeLower() {
    change_in_place(m_pData, qp::lower_case);
}

void CString::MakeReverse() {
    const int length = m_pData->nDataLength;
    if (length < 2 || !make_private(m_pData, 0))
        return;
    // Reversing the bytes of every longer character first, then the whole
    // text, puts the characters in reverse order with their bytes in order.
    char* text = m_pData->data();
    walk_chars(text, 0, length, [&](int i, int n) {
        for (int a = i, b = i + n - 1; a < b; ++a, --b) {
            const char c = text[a];
            text[a] = text[b];
            text[b] = c;
        }
        return false;
    });
    for (int a = 0, b = length - 1; a < b; ++a, --b) {
        const char c = text[a];
        text[a] = text[b];
        text[b] = c;
    }
}

int CString::Replace(char chOld, char chNew) {
    if (chOld == chNew || Find(chOld) < 0)
        return 0;
    if (!make_private(m_pData, 0))
        return 0;
    char* text = m_pData->data();
    const int length = m_pData->nDataLength;
    int count = 0;
    // A change never reaches back, so the walk sees the characters of the
    // old text.
    walk_chars(text, 0, length, [&](int i, int n) {
        if (n == 1 && text[i] == chOld) {
            text[i] = chNew;
            ++count;
        }
        return false;
    });
    return count;
}

int CString::Replace(const char* oldText, const char* newText) {
    int old_length, new_length;
    if (!oldText || !text_length(oldText, &old_length) || old_length == 0)
        return 0;
    if (!newText)
        newText = "";
    if (!text_length(newText, &new_length))
        return 0;

    const char* text = m_pData->data();
    const int length = m_pData->nDataLength;
    int count = 0;
    for (int i = find_from(m_pData, oldText, old_length, 0); i >= 0;
         i = find_from(m_pData, oldText, old_length, i + old_length))
        ++count;
    if (count == 0)
        return 0;

    const long long result_length =
        length + static_cast<long long>(count) * (new_length - old_length);
    if (result_length > kMaxLength)
        return 0;
    // Built apart, as oldText and newText may lie in this very text.
    CStringData* fresh = allocate(static_cast<int>(result_length));
    if (!fresh)
        return 0;
    char* out = fresh->data();
    int from = 0;
    for (int i = find_from(m_pData, oldText, old_length, 0); i >= 0;
         i = find_from(m_pData, oldText, old_length, i + old_length)) {
        memcpy(out, text + from, static_cast<size_t>(i - from));
        out += i - from;
        memcpy(out, newText, static_cast<size_t>(new_length));
        out += new_length;
        from = i + old_length;
    }
    memcpy(out, text + from, static_cast<size_t>(length - from));
    fresh->nDataLength = static_cast<int>(result_length);
    fresh->data()[result_length] = '\0';
    adopt(m_pData, fresh);
    return count;
}

int CString::Remove(char ch) {
    if (Find(ch) < 0 || !make_private(m_pData, 0))
        return 0;
    char* text = m_pData->data();
    const int length = m_pData->nDataLength;
    int kept = 0;
    walk_chars(text, 0, length, [&](int i, int n) {
        if (!(n == 1 && text[i] == ch)) {
            memmove(text + kept, text + i, static_cast<size_t>(n));
            kept += n;
        }
        return false;
    });
    const int count = length - kept;
    m_pData->nDataLength = kept;
    text[kept] = '\0';
    return count;
}

int CString::Insert(int nIndex, char ch) {
    const char text[2] = {ch, '\0'};
    return Insert(nIndex, text);
}

int CString::Insert(int nIndex, const char* text) {
    const int length = m_pData->nDataLength;
    int insert_length;
    if (!text || !text_length(text, &insert_length) || insert_length == 0 ||
        insert_length > kMaxLength - length)
        return length;
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > length)
        nIndex = length;
    const int needed = length + insert_length;

    if (is_private(m_pData) && m_pData->nAllocLength >= needed && !points_into(m_pData, text)) {
        char* buffer = m_pData->data();
        memmove(buffer + nIndex + insert_length, buffer + nIndex,
                static_cast<size_t>(length - nIndex) + 1);
        memcpy(buffer + nIndex, text, static_cast<size_t>(insert_length));
        m_pData->nDataLength = needed;
        return needed;
    }
    CStringData* fresh = allocate(is_private(m_pData) ? grown(m_pData, needed) : needed);
    if (!fresh)
        return length;
    char* out = fresh->data();
    const char* old_text = m_pData->data();
    memcpy(out, old_text, static_cast<size_t>(nIndex));
    memcpy(out + nIndex, text, static_cast<size_t>(insert_length));
    memcpy(out + nIndex + insert_length, old_text + nIndex, static_cast<size_t>(length - nIndex));
    out[needed] = '\0';
    fresh->nDataLength = needed;
    adopt(m_pData, fresh);
    return needed;
}

int CString::Delete(int nIndex, int nCount) {
    const int length = m_pData->nDataLength;
    if (nIndex < 0)
        nIndex = 0;
    if (nCount <= 0 || nIndex >= length)
        return length;
    if (nCount > length - nIndex)
        nCount = length - nIndex;
    if (!make_private(m_pData, 0))
        return length;
    char* text = m_pData->data();
    memmove(text + nIndex, text + nIndex + nCount,
            static_cast<size_t>(length - nIndex - nCount) + 1);
    m_pData->nDataLength = length - nCount;
    return m_pData->nDataLength;
}

// Both sides take the same three kinds of target.
#define QUILL_NTC_TRIMS(NAME, TRIM)                                                                \
    void CString::NAME() {                                                                         \
        TRIM(m_pData, TrimSet{TrimSet::kWhiteSpace, '\0', nullptr});                               \
    }                                                                                              \
                                                                                                   \
    void CString::NAME(char chTarget) {                                                            \
        TRIM(m_pData, TrimSet{TrimSet::kOne, chTarget, nullptr});                                  \
    }                                                                                              \
                                                                                                   \
    void CString::NAME(const char* targets) {                                                      \
        TRIM(m_pData, TrimSet{TrimSet::kSet, '\0', targets});                                      \
    }

QUILL_NTC_TRIMS(TrimLeft, trim_left)
QUILL_NTC_TRIMS(TrimRight, trim_right)

#undef QUILL_NTC_TRIMS

// --- search --------------------------------------------------------------------

int CString::Find(char ch, int nStart) const {
    const char* text = m_pData->data();
    const int length = m_pData->nDataLength;
    const int i = walk_chars(text, first_char_from(m_pData, nStart), length,
                             [&](int at, int n) { return n == 1 && text[at] == ch; });
    return i < length ? i : -1;
}

int CString::Find(const char* text, int nStart) const {
    int sub_length;
    if (!text || !text_length(text, &sub_length))
        return -1;
    if (nStart < 0)
        nStart = 0;
    if (nStart > m_pData->nDataLength)
        return -1;
    if (sub_length == 0)
        return nStart;
    return find_from(m_pData, text, sub_length, first_char_from(m_pData, nStart));
}

int CString::ReverseFind(char ch) const {
    const char* text = m_pData->data();
    const int length = m_pData->nDataLength;
    int found = -1;
    walk_chars(text, 0, length, [&](int i, int n) {
        if (n == 1 && text[i] == ch)
            found = i;
        return false;
    });
    return found;
}

int CString::FindOneOf(const char* charSet) const {
    const int i = span(m_pData, charSet, false);
    return i < m_pData->nDataLength ? i : -1;
}

// --- formatting ----------------------------------------------------------------

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    if (!format) {
        Empty();
        return;
    }
    // Measured first, then written into a record of exactly that size: no
    // result is ever cut, and arguments that point into this string stay
    // readable until the new text is complete.
    va_list measure;
    va_copy(measure, args);
    const int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length == 0) {
        Empty();
        return;
    }
    CStringData* fresh = length < 0 ? nullptr : allocate(length);
    if (!fresh) {
        Empty();
        return;
    }
    vsnprintf(fresh->data(), static_cast<size_t>(length) + 1, format, args);
    fresh->nDataLength = length;
    adopt(m_pData, fresh);
}

void CString::FormatMessageA(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatMessageV(format, &args);
    va_end(args);
}

void CString::FormatMessageV(const char* format, va_list* args) {
    std::string text;
    if (!qp::format_message(format, args, &text) || text.size() > static_cast<size_t>(kMaxLength) ||
        !set_text(m_pData, text.data(), static_cast<int>(text.size())))
        Empty();
}

void CString::CharToOemA() {
    change_in_place(m_pData, qp::ansi_to_oem);
}

void CString::OemToCharA() {
    change_in_place(m_pData, qp::oem_to_ansi);
}

// --- buffer --------------------------------------------------------------------

char* CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength < 0)
        nMinBufLength = 0;
    if (!make_private(m_pData, nMinBufLength))
        return nullptr;
    return m_pData->data();
}

char* CString::GetBufferSetLength(int nNewLength) {
    if (nNewLength < 0)
        nNewLength = 0;
    char* buffer = GetBuffer(nNewLength);
    if (!buffer)
        return nullptr;
    m_pData->nDataLength = nNewLength;
    buffer[nNewLength] = '\0';
    return buffer;
}

void CString::ReleaseBuffer(int nNewLength) {
    // Without GetBuffer before, the record may be the empty one or shared.
    if (m_pData == nil() || !make_private(m_pData, 0))
        return;
    char* buffer = m_pData->data();
    const int room = m_pData->nAllocLength;
    if (nNewLength < 0) {
        const void* zero = memchr(buffer, '\0', static_cast<size_t>(room));
        nNewLength = zero ? static_cast<int>(static_cast<const char*>(zero) - buffer) : room;
    } else if (nNewLength > room) {
        nNewLength = room;
    }
    m_pData->nDataLength = nNewLength;
    buffer[nNewLength] = '\0';
}

void CString::FreeExtra() {
    // A shared record is not this string's to shrink, and a locked one keeps
    // its place.
    if (!is_private(m_pData) || is_locked(m_pData) || m_pData->nDataLength == m_pData->nAllocLength)
        return;
    if (m_pData->nDataLength == 0) {
        release(m_pData);
        m_pData = nil();
        return;
    }
    CStringData* fresh = make_record(m_pData->data(), m_pData->nDataLength, 0);
    if (!fresh)
        return;
    release(m_pData);
    m_pData = fresh;
}

char* CString::LockBuffer() {
    char* buffer = GetBuffer(0);
    if (buffer)
        m_pData->nRefs.store(kLocked, std::memory_order_relaxed);
    return buffer;
}

void CString::UnlockBuffer() {
    if (is_locked(m_pData))
        m_pData->nRefs.store(1, std::memory_order_relaxed);
}

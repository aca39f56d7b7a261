// VariantChangeType without Windows: every source reduced to a few kinds of
// value, every target reached from them, with the Windows results for the
// same inputs (numbers, dates, booleans and texts).
#include "oleauto_parts.h"

#include <locale.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "quill/platform/calendar.h"

namespace {

using namespace qp_oleauto;

// A source value reduced to one of a few kinds, so every target type is
// reached from every source type through one path.
struct Value {
    enum Kind { Empty, Signed, Unsigned, Real, Boolean, Text } kind;
    int64_t s;
    uint64_t u;
    double d;
    bool b;
    const OLECHAR* text;
    uint32_t text_length;
};

HRESULT read_value(const VARIANT& v, Value* out) {
    Value& r = *out;
    r = Value();
    switch (v.vt) {
    case VT_EMPTY:
        r.kind = Value::Empty;
        return S_OK;
    case VT_I1:
        r.kind = Value::Signed, r.s = static_cast<signed char>(v.cVal);
        return S_OK;
    case VT_I2:
        r.kind = Value::Signed, r.s = v.iVal;
        return S_OK;
    case VT_I4:
        r.kind = Value::Signed, r.s = v.lVal;
        return S_OK;
    case VT_INT:
        r.kind = Value::Signed, r.s = v.intVal;
        return S_OK;
    case VT_I8:
        r.kind = Value::Signed, r.s = v.llVal;
        return S_OK;
    case VT_UI1:
        r.kind = Value::Unsigned, r.u = v.bVal;
        return S_OK;
    case VT_UI2:
        r.kind = Value::Unsigned, r.u = v.uiVal;
        return S_OK;
    case VT_UI4:
        r.kind = Value::Unsigned, r.u = v.ulVal;
        return S_OK;
    case VT_UINT:
        r.kind = Value::Unsigned, r.u = v.uintVal;
        return S_OK;
    case VT_UI8:
        r.kind = Value::Unsigned, r.u = v.ullVal;
        return S_OK;
    case VT_R4:
        r.kind = Value::Real, r.d = v.fltVal;
        return S_OK;
    case VT_R8:
        r.kind = Value::Real, r.d = v.dblVal;
        return S_OK;
    case VT_DATE:
        r.kind = Value::Real, r.d = v.date;
        return S_OK;
    case VT_BOOL:
        r.kind = Value::Boolean, r.b = v.boolVal != VARIANT_FALSE;
        return S_OK;
    case VT_DECIMAL: {
        const DECIMAL& dec = v.decVal;
        if (dec.scale > 28)
            return E_INVALIDARG;
        if (dec.scale == 0 && dec.Hi32 == 0) {
            if (dec.sign & DECIMAL_NEG) {
                if (dec.Lo64 > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1)
                    return DISP_E_OVERFLOW;
                r.kind = Value::Signed, r.s = static_cast<int64_t>(0 - dec.Lo64);
            } else {
                r.kind = Value::Unsigned, r.u = dec.Lo64;
            }
            return S_OK;
        }
        double value = (static_cast<double>(dec.Hi32) * 18446744073709551616.0 +
                        static_cast<double>(dec.Lo64)) /
                       pow(10.0, dec.scale);
        r.kind = Value::Real, r.d = (dec.sign & DECIMAL_NEG) ? -value : value;
        return S_OK;
    }
    case VT_BSTR:
        r.kind = Value::Text;
        r.text = v.bstrVal;
        r.text_length = SysStringLen(v.bstrVal);
        return S_OK;
    case VT_NULL:
    case VT_ERROR:
        return DISP_E_TYPEMISMATCH;
    default:
        return DISP_E_BADVARTYPE;
    }
}

bool is_space(OLECHAR c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text without surrounding white space, as ASCII; false when it holds
// anything else, which can be no number, date or boolean word.
bool trimmed_ascii(const Value& v, std::string* out) {
    uint32_t begin = 0;
    uint32_t end = v.text_length;
    while (begin < end && is_space(v.text[begin]))
        ++begin;
    while (end > begin && is_space(v.text[end - 1]))
        --end;
    out->clear();
    for (uint32_t i = begin; i < end; ++i) {
        if (v.text[i] == 0 || v.text[i] > 0x7F)
            return false;
        out->push_back(static_cast<char>(v.text[i]));
    }
    return true;
}

// Parses a number in the "C" locale: optional sign, digits with an optional
// decimal point, optional exponent. Whole numbers that fit 64 bits stay exact.
HRESULT parse_number(const Value& text, Value* out) {
    std::string s;
    if (!trimmed_ascii(text, &s))
        return DISP_E_TYPEMISMATCH;
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const size_t digits_begin = i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i, ++digits;
    const size_t integer_end = i;
    bool whole = true;
    if (i < s.size() && s[i] == '.') {
        whole = false;
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return DISP_E_TYPEMISMATCH;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        whole = false;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t exponent_digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++exponent_digits;
        if (exponent_digits == 0)
            return DISP_E_TYPEMISMATCH;
    }
    if (i != s.size())
        return DISP_E_TYPEMISMATCH;

    if (whole) {
        uint64_t magnitude = 0;
        bool fits = true;
        for (size_t k = digits_begin; k < integer_end && fits; ++k) {
            const unsigned digit = static_cast<unsigned>(s[k] - '0');
            if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10)
                fits = false;
            else
                magnitude = magnitude * 10 + digit;
        }
        if (fits && !negative) {
            out->kind = Value::Unsigned, out->u = magnitude;
            return S_OK;
        }
        if (fits && magnitude <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) {
            out->kind = Value::Signed, out->s = static_cast<int64_t>(0 - magnitude);
            return S_OK;
        }
    }
    // Our own digits scanner decided the form; the conversion itself must
    // not depend on the process locale's decimal point.
    std::string c_form = s;
    const char point = *localeconv()->decimal_point;
    for (char& c : c_form)
        if (c == '.')
            c = point;
    out->kind = Value::Real;
    out->d = strtod(c_form.c_str(), nullptr);
    if (std::isinf(out->d))
        return DISP_E_OVERFLOW;
    return S_OK;
}

// Rounds half to even, as the Windows conversions to integers do.
double round_even(double x) {
    double r = floor(x);
    const double rest = x - r;
    if (rest > 0.5 || (rest == 0.5 && fmod(r, 2.0) != 0.0))
        r += 1.0;
    return r;
}

// The value as a number (Signed, Unsigned or Real): nothing is 0, a boolean
// -1 or 0, a text the number it spells.
HRESULT to_number(const Value& v, Value* out) {
    switch (v.kind) {
    case Value::Empty:
    case Value::Boolean:
        *out = Value();
        out->kind = Value::Signed, out->s = v.kind == Value::Boolean && v.b ? -1 : 0;
        return S_OK;
    case Value::Text:
        return parse_number(v, out);
    default:
        *out = v;
        return S_OK;
    }
}

// The value as a whole number, a real one rounded half to even: Signed when
// negative, Unsigned otherwise. Overflow for what 64 bits cannot hold and for
// not-a-number.
HRESULT to_whole(const Value& v, Value* out) {
    const HRESULT hr = to_number(v, out);
    if (FAILED(hr) || out->kind != Value::Real)
        return hr;
    if (std::isnan(out->d))
        return DISP_E_OVERFLOW;
    const double r = round_even(out->d);
    // -2^63 and 2^64 are the edges of the two 64-bit types; comparing first
    // keeps the conversion defined. A value that rounds to zero from below
    // (-0.4) is zero.
    if (r < 0) {
        if (r < -9223372036854775808.0)
            return DISP_E_OVERFLOW;
        out->kind = Value::Signed, out->s = static_cast<int64_t>(r);
    } else {
        if (r >= 18446744073709551616.0)
            return DISP_E_OVERFLOW;
        out->kind = Value::Unsigned, out->u = static_cast<uint64_t>(r);
    }
    return S_OK;
}

// The value as a signed integer within [low, high].
HRESULT to_signed(const Value& v, int64_t low, int64_t high, int64_t* out) {
    Value n;
    const HRESULT hr = to_whole(v, &n);
    if (FAILED(hr))
        return hr;
    if (n.kind == Value::Signed ? n.s < low || n.s > high : n.u > static_cast<uint64_t>(high))
        return DISP_E_OVERFLOW;
    *out = n.kind == Value::Signed ? n.s : static_cast<int64_t>(n.u);
    return S_OK;
}

// The value as an unsigned integer of at most high. A true boolean is the
// all-ones pattern of the target width, as its -1 stored unsigned.
HRESULT to_unsigned(const Value& v, uint64_t high, uint64_t* out) {
    if (v.kind == Value::Boolean) {
        *out = v.b ? high : 0;
        return S_OK;
    }
    Value n;
    const HRESULT hr = to_whole(v, &n);
    if (FAILED(hr))
        return hr;
    if (n.kind == Value::Signed ? n.s < 0 || static_cast<uint64_t>(n.s) > high : n.u > high)
        return DISP_E_OVERFLOW;
    *out = n.kind == Value::Signed ? static_cast<uint64_t>(n.s) : n.u;
    return S_OK;
}

// 30 December 1899 as a day number since 1970-01-01.
const int64_t kDateEpoch = qp::kDateValueEpochDay;
// The range of dates Windows accepts: 1 January 100 to 31 December 9999.
const double kMinDate = -657434.0;
const double kMaxDate = 2958466.0;

std::string format_date(double date) {
    // A negative date counts its whole days backwards but its time forwards.
    const double whole = date < 0 ? ceil(date) : floor(date);
    int64_t seconds = static_cast<int64_t>(floor(fabs(date - whole) * 86400.0 + 0.5));
    int64_t day = static_cast<int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += date < 0 ? -1 : 1;
    }
    char text[64];
    const int hour = static_cast<int>(seconds / 3600);
    const int minute = static_cast<int>(seconds / 60 % 60);
    const int second = static_cast<int>(seconds % 60);
    if (day == 0) {
        snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
        return text;
    }
    int64_t y;
    int m;
    int d;
    qp::civil_from_days(day + kDateEpoch, &y, &m, &d);
    if (seconds == 0)
        snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(y), m, d);
    else
        snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(y), m,
                 d, hour, minute, second);
    return text;
}

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" or "HH:MM[:SS]".
bool parse_date(const std::string& s, double* out) {
    int y = 1899, m = 12, d = 30, hh = 0, mm = 0, ss = 0;
    int used = 0;
    bool has_date = false;
    const char* p = s.c_str();
    if (sscanf(p, "%4d-%2d-%2d%n", &y, &m, &d, &used) == 3 && used == 10) {
        has_date = true;
        p += used;
        if (*p == ' ' || *p == 'T')
            ++p;
        else if (*p != 0)
            return false;
    }
    if (*p != 0) {
        used = 0;
        if (sscanf(p, "%2d:%2d%n", &hh, &mm, &used) != 2)
            return false;
        p += used;
        if (*p == ':') {
            used = 0;
            if (sscanf(p, ":%2d%n", &ss, &used) != 1)
                return false;
            p += used;
        }
        if (*p != 0)
            return false;
    } else if (!has_date) {
        return false;
    }
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > qp::days_in_month(y, m) ||
        hh > 23 || mm > 59 || ss > 59 || hh < 0 || mm < 0 || ss < 0)
        return false;
    const double day = static_cast<double>(qp::days_from_civil(y, m, d) - kDateEpoch);
    const double time = (hh * 3600 + mm * 60 + ss) / 86400.0;
    *out = day < 0 ? day - time : day + time;
    return true;
}

HRESULT to_real(const Value& v, double* out) {
    Value n;
    const HRESULT hr = to_number(v, &n);
    if (FAILED(hr))
        return hr;
    if (n.kind == Value::Signed)
        *out = static_cast<double>(n.s);
    else if (n.kind == Value::Unsigned)
        *out = static_cast<double>(n.u);
    else
        *out = n.d;
    return S_OK;
}

// A text may also be the word "true" or "false" in any case; any other value
// is true when its number is not zero.
HRESULT to_bool(const Value& v, bool* out) {
    if (v.kind == Value::Text) {
        std::string s;
        if (!trimmed_ascii(v, &s))
            return DISP_E_TYPEMISMATCH;
        const bool is_true = strcasecmp(s.c_str(), "true") == 0;
        if (is_true || strcasecmp(s.c_str(), "false") == 0) {
            *out = is_true;
            return S_OK;
        }
    }
    double d;
    const HRESULT hr = to_real(v, &d);
    if (SUCCEEDED(hr))
        *out = d != 0.0;
    return hr;
}

std::string format_real(double value, int digits) {
    char text[64];
    snprintf(text, sizeof text, "%.*G", digits, value);
    // The "C" locale's point, whatever the process locale says.
    const char point = *localeconv()->decimal_point;
    for (char* c = text; *c; ++c)
        if (*c == point)
            *c = '.';
    return text;
}

HRESULT to_text(const Value& v, VARTYPE source_type, uint16_t flags, std::string* out) {
    char text[32];
    switch (v.kind) {
    case Value::Empty:
        out->clear();
        return S_OK;
    case Value::Boolean:
        if (flags & VARIANT_ALPHABOOL)
            *out = v.b ? "True" : "False";
        else
            *out = v.b ? "-1" : "0";
        return S_OK;
    case Value::Signed:
        snprintf(text, sizeof text, "%lld", static_cast<long long>(v.s));
        *out = text;
        return S_OK;
    case Value::Unsigned:
        snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(v.u));
        *out = text;
        return S_OK;
    case Value::Real:
        if (source_type == VT_DATE) {
            // A day count outside the calendar (or not a number at all) has
            // no text form.
            if (!(v.d >= kMinDate && v.d < kMaxDate))
                return DISP_E_OVERFLOW;
            *out = format_date(v.d);
        }
        else
            *out = format_real(v.d, source_type == VT_R4 ? 7 : 15);
        return S_OK;
    case Value::Text:
        break;
    }
    return DISP_E_TYPEMISMATCH;
}

// Stores an integer's low width bytes as the variant's value, which starts
// where the value union starts whatever the type; two's complement makes the
// bytes of a signed value and of its unsigned pattern the same.
void store_integer(VARIANT* v, uint64_t bits, size_t width) {
    switch (width) {
    case 1:
        v->bVal = static_cast<BYTE>(bits);
        break;
    case 2:
        v->uiVal = static_cast<uint16_t>(bits);
        break;
    case 4:
        v->ulVal = static_cast<uint32_t>(bits);
        break;
    default:
        v->ullVal = bits;
        break;
    }
}

} // namespace

namespace qp_oleauto {

HRESULT convert(const VARIANT& source, uint16_t flags, VARTYPE type, VARIANT* result) {
    if (type == source.vt) {
        *result = source;
        if (type == VT_BSTR && source.bstrVal) {
            result->bstrVal = copy_bstr(source.bstrVal);
            if (!result->bstrVal)
                return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    if (type == VT_EMPTY) {
        result->vt = VT_EMPTY;
        return S_OK;
    }
    if (type == VT_NULL)
        return source.vt == VT_EMPTY ? (result->vt = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
    if (!is_known_type(type) || (type & VT_BYREF))
        return DISP_E_BADVARTYPE;
    Value v;
    HRESULT hr = read_value(source, &v);
    if (FAILED(hr))
        return hr;

    int64_t s = 0;
    uint64_t u = 0;
    double d = 0;
    bool b = false;
    switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_I8: {
        // The range follows from the width: -2^(n-1) to 2^(n-1) - 1.
        const size_t width = qp::variant_value_size(type);
        const int64_t high = static_cast<int64_t>((uint64_t(1) << (8 * width - 1)) - 1);
        hr = to_signed(v, -high - 1, high, &s);
        store_integer(result, static_cast<uint64_t>(s), width);
        break;
    }
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_UI8: {
        const size_t width = qp::variant_value_size(type);
        hr = to_unsigned(v, std::numeric_limits<uint64_t>::max() >> (64 - 8 * width), &u);
        store_integer(result, u, width);
        break;
    }
    case VT_R4:
        hr = to_real(v, &d);
        if (SUCCEEDED(hr) && !std::isnan(d) && fabs(d) > std::numeric_limits<float>::max())
            hr = DISP_E_OVERFLOW;
        if (SUCCEEDED(hr))
            result->fltVal = static_cast<float>(d);
        break;
    case VT_R8:
        hr = to_real(v, &d);
        result->dblVal = d;
        break;
    case VT_DATE:
        if (v.kind == Value::Text) {
            std::string text;
            if (trimmed_ascii(v, &text) && parse_date(text, &d)) {
                hr = S_OK;
                result->date = d;
                break;
            }
        }
        hr = to_real(v, &d);
        if (SUCCEEDED(hr) && !(d >= kMinDate && d < kMaxDate))
            hr = DISP_E_OVERFLOW;
        result->date = d;
        break;
    case VT_BOOL:
        hr = to_bool(v, &b);
        result->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_BSTR: {
        std::string text;
        hr = to_text(v, source.vt, flags, &text);
        if (SUCCEEDED(hr)) {
            result->bstrVal = narrow_to_bstr(text);
            if (!result->bstrVal)
                hr = E_OUTOFMEMORY;
        }
        break;
    }
    default:
        // Currency, decimal and error values are kept but not produced.
        return DISP_E_BADVARTYPE;
    }
    if (FAILED(hr))
        return hr;
    result->vt = type;
    return S_OK;
}

} // namespace qp_oleauto

HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, uint16_t flags,
                          VARTYPE type) {
    if (!destination || !source)
        return E_INVALIDARG;
    VARIANT plain;
    VariantInit(&plain);
    HRESULT hr = VariantCopyInd(&plain, source);
    if (FAILED(hr))
        return hr;
    VARIANT result;
    memset(&result, 0, sizeof result);
    hr = qp_oleauto::convert(plain, flags, type, &result);
    VariantClear(&plain);
    if (FAILED(hr)) {
        if (result.vt == VT_BSTR)
            VariantClear(&result);
        return hr;
    }
    hr = VariantClear(destination);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *destination = result;
    return S_OK;
}

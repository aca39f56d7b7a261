// These cases run against our own implementation and, in the Windows build,
// against the system's: both must give the same answers.
#include "quill/platform/oleauto.h"

#include <gtest/gtest.h>

#include <limits>

#include <string.h>

#include <string>

#include "quill/platform/text.h"
#include "support/variant_values.h"

namespace {

using quill_test::make_bstr;
using quill_test::text_of;

// A variant that releases what it holds at the end of the test.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
};

// A plain variant of type whose value is value's bytes: every plain value
// starts where the value union starts.
template <typename T> VARIANT make_plain(VARTYPE type, T value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    memcpy(&v.llVal, &value, sizeof value);
    return v;
}

// Replaces what var holds with a new string of the text.
void hold_text(Var& var, const char* text) {
    VariantClear(&var.v);
    var.v.vt = VT_BSTR;
    var.v.bstrVal = make_bstr(text);
}

VARIANT make_i4(int32_t value) {
    return make_plain(VT_I4, value);
}

VARIANT make_r8(double value) {
    return make_plain(VT_R8, value);
}

VARIANT make_bool(bool value) {
    return make_plain(VT_BOOL, value ? VARIANT_TRUE : VARIANT_FALSE);
}

TEST(Bstr, PrefixHoldsByteLengthAndZeroFollows) {
    const WCHAR text[] = {'a', 0, 'b'};
    BSTR b = SysAllocStringLen(text, 3);
    ASSERT_NE(b, nullptr);
    uint32_t prefix = 0;
    memcpy(&prefix, reinterpret_cast<const char*>(b) - 4, 4);
    EXPECT_EQ(prefix, 6u);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(SysStringByteLen(b), 6u);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 'b');
    EXPECT_EQ(b[3], 0);
    SysFreeString(b);
}

TEST(Bstr, AllocStringStopsAtZeroAndNullsAreHarmless) {
    const WCHAR text[] = {'x', 'y', 0, 'z', 0};
    BSTR b = SysAllocString(text);
    EXPECT_EQ(SysStringLen(b), 2u);
    SysFreeString(b);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Bstr, NullTextGivesZeroFilledStringAndOddByteLengthsKeepTheirCount) {
    BSTR blank = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(SysStringLen(blank), 4u);
    SysFreeString(blank);

    BSTR odd = SysAllocStringByteLen("abc", 3);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(SysStringByteLen(odd), 3u);
    EXPECT_EQ(SysStringLen(odd), 1u);
    EXPECT_EQ(memcmp(odd, "abc", 3), 0);
    SysFreeString(odd);
}

TEST(VariantCopy, StringsAreCopiedDeeply) {
    Var source;
    hold_text(source, "hello");
    Var copy;
    ASSERT_EQ(VariantCopy(&copy.v, &source.v), S_OK);
    EXPECT_EQ(copy.v.vt, VT_BSTR);
    EXPECT_NE(copy.v.bstrVal, source.v.bstrVal);
    EXPECT_EQ(VariantClear(&source.v), S_OK);
    EXPECT_EQ(source.v.vt, VT_EMPTY);
    EXPECT_EQ(text_of(copy.v.bstrVal), "hello");
}

TEST(VariantCopy, ReplacesTheDestinationsStringWithoutLeaking) {
    Var destination;
    hold_text(destination, "old");
    VARIANT number = make_i4(9);
    ASSERT_EQ(VariantCopy(&destination.v, &number), S_OK);
    EXPECT_EQ(destination.v.vt, VT_I4);
    EXPECT_EQ(destination.v.lVal, 9);
}

TEST(VariantCopy, ByReferenceCopiesThePointerAndCopyIndTheValue) {
    BSTR target = make_bstr("ref");
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &target;

    Var same;
    ASSERT_EQ(VariantCopy(&same.v, &ref), S_OK);
    EXPECT_EQ(same.v.vt, VT_BYREF | VT_BSTR);
    EXPECT_EQ(same.v.pbstrVal, &target);

    Var value;
    ASSERT_EQ(VariantCopyInd(&value.v, &ref), S_OK);
    EXPECT_EQ(value.v.vt, VT_BSTR);
    EXPECT_NE(value.v.bstrVal, target);
    EXPECT_EQ(text_of(value.v.bstrVal), "ref");
    SysFreeString(target);

    short number = 7;
    VARIANT short_ref;
    VariantInit(&short_ref);
    short_ref.vt = VT_BYREF | VT_I2;
    short_ref.piVal = &number;
    ASSERT_EQ(VariantCopyInd(&short_ref, &short_ref), S_OK);
    EXPECT_EQ(short_ref.vt, VT_I2);
    EXPECT_EQ(short_ref.iVal, 7);
}

// A plain value converted to type, which must succeed and give that type.
VARIANT converted(VARIANT in, VARTYPE type) {
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(VariantChangeType(&out, &in, 0, type), S_OK) << in.vt << " to " << type;
    EXPECT_EQ(out.vt, type);
    return out;
}

TEST(VariantChangeType, IntegersAndDoubles) {
    EXPECT_EQ(converted(make_i4(42), VT_R8).dblVal, 42.0);

    // Halves go to the even neighbour.
    const struct {
        double in;
        int32_t out;
    } rounding[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-1.5, -2}, {1.5, 2}, {2.6, 3}, {-2.4, -2}};
    for (const auto& c : rounding)
        EXPECT_EQ(converted(make_r8(c.in), VT_I4).lVal, c.out) << c.in;

    EXPECT_EQ(converted(make_i4(-7), VT_I2).iVal, -7);
}

TEST(VariantChangeType, OverflowLeavesTheDestinationAlone) {
    Var out;
    VARIANT keep = make_i4(5);
    out.v = keep;

    VARIANT big = make_r8(1e10);
    EXPECT_EQ(VariantChangeType(&out.v, &big, 0, VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(out.v.vt, VT_I4);
    EXPECT_EQ(out.v.lVal, 5);

    VARIANT wide = make_i4(40000);
    EXPECT_EQ(VariantChangeType(&out.v, &wide, 0, VT_I2), DISP_E_OVERFLOW);
    VARIANT byte_high = make_i4(256);
    EXPECT_EQ(VariantChangeType(&out.v, &byte_high, 0, VT_UI1), DISP_E_OVERFLOW);
    VARIANT negative = make_i4(-1);
    EXPECT_EQ(VariantChangeType(&out.v, &negative, 0, VT_UI1), DISP_E_OVERFLOW);
    VARIANT huge = make_r8(1e300);
    EXPECT_EQ(VariantChangeType(&out.v, &huge, 0, VT_R4), DISP_E_OVERFLOW);
    EXPECT_EQ(out.v.lVal, 5);
}

// The number an integer variant holds, read back through a conversion to a
// double, which every integer of up to 32 bits survives exactly.
double integer_of(VARIANT v) {
    Var real;
    EXPECT_EQ(VariantChangeType(&real.v, &v, 0, VT_R8), S_OK) << v.vt;
    return real.v.dblVal;
}

TEST(VariantChangeType, IntegerTargetsHoldTheirWholeRangeAndNoMore) {
    const struct {
        VARTYPE type;
        double low, high;
    } targets[] = {{VT_I1, -128, 127},
                   {VT_I2, -32768, 32767},
                   {VT_I4, -2147483648.0, 2147483647.0},
                   {VT_INT, -2147483648.0, 2147483647.0},
                   {VT_UI1, 0, 255},
                   {VT_UI2, 0, 65535},
                   {VT_UI4, 0, 4294967295.0},
                   {VT_UINT, 0, 4294967295.0}};
    for (const auto& t : targets) {
        for (const double fits : {t.low, t.high}) {
            Var out;
            VARIANT in = make_r8(fits);
            ASSERT_EQ(VariantChangeType(&out.v, &in, 0, t.type), S_OK) << t.type << " " << fits;
            EXPECT_EQ(out.v.vt, t.type);
            EXPECT_EQ(integer_of(out.v), fits) << t.type;
        }
        for (const double beyond : {t.low - 1, t.high + 1}) {
            Var out;
            VARIANT in = make_r8(beyond);
            EXPECT_EQ(VariantChangeType(&out.v, &in, 0, t.type), DISP_E_OVERFLOW)
                << t.type << " " << beyond;
        }
        // A true boolean is -1, which an unsigned type holds as all ones.
        Var out;
        VARIANT yes = make_bool(true);
        ASSERT_EQ(VariantChangeType(&out.v, &yes, 0, t.type), S_OK) << t.type;
        EXPECT_EQ(integer_of(out.v), t.low < 0 ? -1 : t.high) << t.type;
    }
}

TEST(VariantChangeType, RealsRoundHalfToEvenOnTheWayToIntegers) {
    const struct {
        double in;
        int32_t out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {-0.4, 0}, {0.5, 0}};
    for (const auto& c : cases) {
        Var out;
        VARIANT in = make_r8(c.in);
        ASSERT_EQ(VariantChangeType(&out.v, &in, 0, VT_I4), S_OK) << c.in;
        EXPECT_EQ(out.v.lVal, c.out) << c.in;
    }
    Var out;
    VARIANT small_negative = make_r8(-0.4);
    ASSERT_EQ(VariantChangeType(&out.v, &small_negative, 0, VT_UI1), S_OK);
    EXPECT_EQ(out.v.bVal, 0) << "what rounds to zero from below is zero";
    VARIANT below = make_r8(-0.6);
    EXPECT_EQ(VariantChangeType(&out.v, &below, 0, VT_UI1), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, StringsAndNumbers) {
    Var text;
    Var out;

    const struct {
        const char* in;
        int32_t out;
    } numbers[] = {{"123", 123}, {"-17", -17}, {"0", 0}, {"2.5", 2}};
    for (const auto& c : numbers) {
        hold_text(text, c.in);
        ASSERT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_I4), S_OK) << c.in;
        EXPECT_EQ(out.v.lVal, c.out) << c.in;
    }

    for (const char* bad : {"abc", "", "12x"}) {
        hold_text(text, bad);
        EXPECT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_I4), DISP_E_TYPEMISMATCH) << bad;
    }

    hold_text(text, "99999999999");
    EXPECT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_I4), DISP_E_OVERFLOW);

    hold_text(text, "2.25");
    ASSERT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_R8), S_OK);
    EXPECT_EQ(out.v.dblVal, 2.25);

    VARIANT negative = make_i4(-17);
    ASSERT_EQ(VariantChangeType(&out.v, &negative, 0, VT_BSTR), S_OK);
    EXPECT_EQ(out.v.vt, VT_BSTR);
    EXPECT_EQ(text_of(out.v.bstrVal), "-17");
    VARIANT fraction = make_r8(2.5);
    ASSERT_EQ(VariantChangeType(&out.v, &fraction, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text_of(out.v.bstrVal), "2.5");
}

TEST(VariantChangeType, ConvertsInPlace) {
    Var v;
    hold_text(v, "12");
    ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.v.vt, VT_I4);
    EXPECT_EQ(v.v.lVal, 12);
}

TEST(VariantChangeType, Booleans) {
    Var out;
    VARIANT yes = make_bool(true);
    ASSERT_EQ(VariantChangeType(&out.v, &yes, 0, VT_I2), S_OK);
    EXPECT_EQ(out.v.iVal, -1);
    ASSERT_EQ(VariantChangeType(&out.v, &yes, 0, VT_R8), S_OK);
    EXPECT_EQ(out.v.dblVal, -1.0);

    const struct {
        double in;
        VARIANT_BOOL out;
    } truth[] = {
        {0.0, VARIANT_FALSE}, {5.0, VARIANT_TRUE}, {0.5, VARIANT_TRUE}, {-3, VARIANT_TRUE}};
    for (const auto& c : truth) {
        VARIANT d = make_r8(c.in);
        ASSERT_EQ(VariantChangeType(&out.v, &d, 0, VT_BOOL), S_OK);
        EXPECT_EQ(out.v.vt, VT_BOOL);
        EXPECT_EQ(out.v.boolVal, c.out) << c.in;
    }

    Var text;
    const struct {
        const char* in;
        VARIANT_BOOL out;
    } words[] = {{"True", VARIANT_TRUE},
                 {"False", VARIANT_FALSE},
                 {"0", VARIANT_FALSE},
                 {"1", VARIANT_TRUE}};
    for (const auto& c : words) {
        hold_text(text, c.in);
        ASSERT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_BOOL), S_OK) << c.in;
        EXPECT_EQ(out.v.boolVal, c.out) << c.in;
    }
    hold_text(text, "maybe");
    EXPECT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_BOOL), DISP_E_TYPEMISMATCH);

    ASSERT_EQ(VariantChangeType(&out.v, &yes, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text_of(out.v.bstrVal), "-1");
    ASSERT_EQ(VariantChangeType(&out.v, &yes, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(text_of(out.v.bstrVal), "True");
}

TEST(VariantChangeType, DatesAreDayCounts) {
    Var out;
    out.v = converted(make_r8(36526.5), VT_DATE);
    EXPECT_EQ(out.v.date, 36526.5);
    // And back in place.
    ASSERT_EQ(VariantChangeType(&out.v, &out.v, 0, VT_R8), S_OK);
    EXPECT_EQ(out.v.vt, VT_R8);
    EXPECT_EQ(out.v.dblVal, 36526.5);
}

TEST(VariantChangeType, EmptyNullAndReferences) {
    Var out;
    VARIANT empty;
    VariantInit(&empty);
    ASSERT_EQ(VariantChangeType(&out.v, &empty, 0, VT_I4), S_OK);
    EXPECT_EQ(out.v.lVal, 0);

    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    EXPECT_EQ(VariantChangeType(&out.v, &null, 0, VT_I4), DISP_E_TYPEMISMATCH);

    short number = 300;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I2;
    ref.piVal = &number;
    ASSERT_EQ(VariantChangeType(&out.v, &ref, 0, VT_I4), S_OK);
    EXPECT_EQ(out.v.vt, VT_I4);
    EXPECT_EQ(out.v.lVal, 300);
    EXPECT_EQ(VariantChangeType(&out.v, &ref, 0, VT_UI1), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, DecimalsBecomeNumbers) {
    Var out;
    VARIANT dec;
    memset(&dec, 0, sizeof dec);
    dec.decVal.scale = 2;
    dec.decVal.Lo64 = 12350;
    dec.vt = VT_DECIMAL;
    ASSERT_EQ(VariantChangeType(&out.v, &dec, 0, VT_R8), S_OK);
    EXPECT_DOUBLE_EQ(out.v.dblVal, 123.5);
    ASSERT_EQ(VariantChangeType(&out.v, &dec, 0, VT_I4), S_OK);
    EXPECT_EQ(out.v.lVal, 124);

    dec.decVal.scale = 0;
    dec.decVal.sign = DECIMAL_NEG;
    dec.decVal.Lo64 = 5;
    dec.vt = VT_DECIMAL;
    ASSERT_EQ(VariantChangeType(&out.v, &dec, 0, VT_I4), S_OK);
    EXPECT_EQ(out.v.lVal, -5);
    EXPECT_EQ(VariantChangeType(&out.v, &dec, 0, VT_UI1), DISP_E_OVERFLOW);
}

#ifndef _WIN32
// Our own choices where Windows follows the user's locale.
TEST(VariantChangeType, DatesAsTextUseOneFixedForm) {
    Var out;
    VARIANT date;
    VariantInit(&date);
    date.vt = VT_DATE;
    date.date = 36526.75; // 2000-01-01 18:00
    ASSERT_EQ(VariantChangeType(&out.v, &date, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text_of(out.v.bstrVal), "2000-01-01 18:00:00");
    ASSERT_EQ(VariantChangeType(&out.v, &out.v, 0, VT_DATE), S_OK);
    EXPECT_EQ(out.v.date, 36526.75);

    date.date = -1.25; // 29 December 1899, 06:00
    ASSERT_EQ(VariantChangeType(&out.v, &date, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text_of(out.v.bstrVal), "1899-12-29 06:00:00");
    ASSERT_EQ(VariantChangeType(&out.v, &out.v, 0, VT_DATE), S_OK);
    EXPECT_EQ(out.v.date, -1.25);

    Var text;
    hold_text(text, "2000-02-30");
    EXPECT_EQ(VariantChangeType(&out.v, &text.v, 0, VT_DATE), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, UnsupportedTypesAreReported) {
    Var out;
    VARIANT i = make_i4(1);
    EXPECT_EQ(VariantChangeType(&out.v, &i, 0, VT_DISPATCH), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantChangeType(&out.v, &i, 0, VT_ARRAY | VT_I4), DISP_E_BADVARTYPE);
    EXPECT_EQ(out.v.vt, VT_EMPTY);
}
#endif

TEST(VariantLayout, SixteenBytesWithTheValueAtOffsetEight) {
    EXPECT_EQ(sizeof(VARIANT), 16u);
    EXPECT_EQ(sizeof(DECIMAL), 16u);
    VARIANT v;
    EXPECT_EQ(reinterpret_cast<char*>(&v.lVal) - reinterpret_cast<char*>(&v), 8);
    EXPECT_EQ(reinterpret_cast<char*>(&v.decVal.scale) - reinterpret_cast<char*>(&v), 2);
    EXPECT_EQ(reinterpret_cast<char*>(&v.decVal.Hi32) - reinterpret_cast<char*>(&v), 4);
    EXPECT_EQ(reinterpret_cast<char*>(&v.decVal.Lo64) - reinterpret_cast<char*>(&v), 8);
}

#ifndef _WIN32
TEST(VariantChangeTypeDates, DayCountsBeyondTheCalendarHaveNoText) {
    for (double day : {1e300, -1e300, 2958466.0, -657435.0, std::numeric_limits<double>::quiet_NaN()}) {
        VARIANT date;
        VariantInit(&date);
        date.vt = VT_DATE;
        date.date = day;
        VARIANT text;
        VariantInit(&text);
        EXPECT_TRUE(FAILED(VariantChangeType(&text, &date, 0, VT_BSTR))) << day;
        EXPECT_EQ(text.vt, VT_EMPTY);
    }
}
#endif

} // namespace

#include "transport/COLEVariant.h"
#include "transport/COLEDateTime.h"
#include "transport/VariantT.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "quill/platform/text.h"
#include "support/variant_values.h"

namespace {

using quill_test::make_bstr;
using quill_test::text_of;

COLEVariant string_variant(const char* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = make_bstr(text);
    COLEVariant result;
    result.Attach(v);
    return result;
}

TEST(COLEVariant, HoldsExactlyOneVariant) {
    EXPECT_EQ(sizeof(COLEVariant), sizeof(VARIANT));
    EXPECT_EQ(sizeof(COLEVariant), 16u);
    EXPECT_EQ(sizeof(_variant_t), 16u);

    const COLEVariant empty;
    const unsigned char zeros[16] = {};
    EXPECT_EQ(memcmp(static_cast<const VARIANT*>(&empty), zeros, 16), 0);
}

TEST(COLEVariant, ConstructorsChooseTheirTypes) {
    EXPECT_EQ(COLEVariant(BYTE(7)).vt, VT_UI1);
    EXPECT_EQ(COLEVariant(1.5f).vt, VT_R4);
    EXPECT_EQ(COLEVariant(1.5).vt, VT_R8);

    const COLEVariant yes(short(5), VT_BOOL);
    EXPECT_EQ(yes.vt, VT_BOOL);
    EXPECT_EQ(yes.boolVal, VARIANT_TRUE);
    const COLEVariant no(short(0), VT_BOOL);
    EXPECT_EQ(no.boolVal, VARIANT_FALSE);
    const COLEVariant other_short(short(-3), VT_R8);
    EXPECT_EQ(other_short.vt, VT_I2);
    EXPECT_EQ(other_short.iVal, -3);

    const COLEVariant error(7L, VT_ERROR);
    EXPECT_EQ(error.vt, VT_ERROR);
    EXPECT_EQ(error.scode, 7);
    const COLEVariant long_bool(9L, VT_BOOL);
    EXPECT_EQ(long_bool.vt, VT_BOOL);
    EXPECT_EQ(long_bool.boolVal, VARIANT_TRUE);
    const COLEVariant plain(-100000L);
    EXPECT_EQ(plain.vt, VT_I4);
    EXPECT_EQ(plain.lVal, -100000);
}

// A zeroed variant of type whose value starts with the given bytes: all a
// value constructor may leave behind.
VARIANT plain_bytes(VARTYPE type, const void* value, size_t width) {
    VARIANT v;
    memset(&v, 0, sizeof v);
    v.vt = type;
    memcpy(&v.llVal, value, width);
    return v;
}

bool same_bytes(const VARIANT& a, const VARIANT& b) {
    return memcmp(&a, &b, sizeof(VARIANT)) == 0;
}

TEST(COLEVariant, ValueConstructorsLeaveOnlyTypeAndValue) {
    const BYTE byte = 0xAB;
    const float single = -2.5f;
    const double real = 1e300;
    const COLEDateTime noon(2026, 12, 8, 12, 0, 0);
    const double day = static_cast<double>(noon);
    const int16_t i2 = -3;
    const VARIANT_BOOL yes = VARIANT_TRUE;
    const int32_t i4 = -100000;
    const SCODE code = 0x80004005;
    EXPECT_TRUE(same_bytes(COLEVariant(byte), plain_bytes(VT_UI1, &byte, 1)));
    EXPECT_TRUE(same_bytes(COLEVariant(single), plain_bytes(VT_R4, &single, 4)));
    EXPECT_TRUE(same_bytes(COLEVariant(real), plain_bytes(VT_R8, &real, 8)));
    EXPECT_TRUE(same_bytes(COLEVariant(noon), plain_bytes(VT_DATE, &day, 8)));
    EXPECT_TRUE(same_bytes(COLEVariant(short(-3)), plain_bytes(VT_I2, &i2, 2)));
    EXPECT_TRUE(same_bytes(COLEVariant(short(-3), VT_BOOL), plain_bytes(VT_BOOL, &yes, 2)));
    EXPECT_TRUE(same_bytes(COLEVariant(-100000L), plain_bytes(VT_I4, &i4, 4)));
    EXPECT_TRUE(same_bytes(COLEVariant(long(code), VT_ERROR), plain_bytes(VT_ERROR, &code, 4)));
    EXPECT_TRUE(same_bytes(COLEVariant(-100000L, VT_BOOL), plain_bytes(VT_BOOL, &yes, 2)));
    EXPECT_TRUE(same_bytes(_variant_t(real, VT_DATE), plain_bytes(VT_DATE, &real, 8)));
    EXPECT_TRUE(same_bytes(_variant_t(long(code), VT_ERROR), plain_bytes(VT_ERROR, &code, 4)));
}

// What the two variant classes do alike, run on each.
template <class Variant> class BothVariants : public ::testing::Test {};
typedef ::testing::Types<COLEVariant, _variant_t> VariantClasses;
TYPED_TEST_SUITE(BothVariants, VariantClasses);

// Only the low 32 bits of a wider long are stored, but a boolean is true
// when any of its bits is set. Where long has 32 bits the case is plain.
TYPED_TEST(BothVariants, WideLongsKeepTheirLowBitsButABooleanSeesThemAll) {
    long high_only = 1;
    high_only <<= sizeof(long) > 4 ? 32 : 0;
    const int32_t low = static_cast<int32_t>(high_only);

    EXPECT_EQ(TypeParam(high_only).lVal, low);
    EXPECT_EQ(TypeParam(high_only, VT_BOOL).boolVal, VARIANT_TRUE);

    TypeParam flag(0L, VT_BOOL);
    flag = high_only;
    EXPECT_EQ(flag.vt, VT_BOOL);
    EXPECT_EQ(flag.boolVal, VARIANT_TRUE);
    TypeParam number(1.5);
    number = high_only;
    EXPECT_EQ(number.vt, VT_I4);
    EXPECT_EQ(number.lVal, low);
}

// An assignment that keeps the type changes the value's bytes and nothing
// else.
TYPED_TEST(BothVariants, AssignmentsThatKeepTheTypeTouchOnlyTheValue) {
    TypeParam number(0x12345678L);
    number.wReserved1 = 0x1111;
    number = 0x22L;
    EXPECT_EQ(number.wReserved1, 0x1111);
    EXPECT_EQ(number.lVal, 0x22);

    TypeParam byte(BYTE(1));
    byte.llVal = 0x7700;
    byte = BYTE(2);
    EXPECT_EQ(byte.vt, VT_UI1);
    EXPECT_EQ(byte.llVal, 0x7702) << "only the byte itself is written";
}

TEST(COLEVariant, ADateTakesADoubleAsADouble) {
    COLEVariant date(COLEDateTime(1.0));
    date = 2.0;
    EXPECT_EQ(date.vt, VT_R8);
    EXPECT_EQ(date.dblVal, 2.0);
}

TEST(COLEVariant, AssignmentsKeepAMatchingType) {
    COLEVariant flag(short(0), VT_BOOL);
    flag = short(3);
    EXPECT_EQ(flag.vt, VT_BOOL);
    EXPECT_EQ(flag.boolVal, VARIANT_TRUE);
    flag = 0L;
    EXPECT_EQ(flag.vt, VT_BOOL);
    EXPECT_EQ(flag.boolVal, VARIANT_FALSE);

    COLEVariant error(1L, VT_ERROR);
    error = 42L;
    EXPECT_EQ(error.vt, VT_ERROR);
    EXPECT_EQ(error.scode, 42);

    COLEVariant number(5L);
    number = short(2);
    EXPECT_EQ(number.vt, VT_I2);
    EXPECT_EQ(number.iVal, 2);
    number = 2.5f;
    EXPECT_EQ(number.vt, VT_R4);
    number = BYTE(200);
    EXPECT_EQ(number.vt, VT_UI1);
    EXPECT_EQ(number.bVal, 200);

    // The string is released when the type changes (the leak checker sees).
    COLEVariant text = string_variant("gone");
    text = 0.25;
    EXPECT_EQ(text.vt, VT_R8);
    EXPECT_EQ(text.dblVal, 0.25);
}

TEST(COLEVariant, CopiesOwnTheirStrings) {
    COLEVariant original = string_variant("first");
    COLEVariant copy(original);
    EXPECT_NE(copy.bstrVal, original.bstrVal);
    EXPECT_TRUE(copy == original);

    COLEVariant assigned = string_variant("other");
    assigned = original;
    original.Clear();
    EXPECT_EQ(original.vt, VT_EMPTY);
    EXPECT_EQ(text_of(copy.bstrVal), "first");
    EXPECT_EQ(text_of(assigned.bstrVal), "first");

    COLEVariant& self = assigned;
    assigned = self;
    EXPECT_EQ(text_of(assigned.bstrVal), "first");
}

TEST(COLEVariant, AttachAndDetachMoveOwnership) {
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_BSTR;
    raw.bstrVal = make_bstr("owned");

    COLEVariant holder = string_variant("replaced");
    holder.Attach(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(text_of(holder.bstrVal), "owned");

    VARIANT back = holder.Detach();
    EXPECT_EQ(holder.vt, VT_EMPTY);
    EXPECT_EQ(back.vt, VT_BSTR);
    EXPECT_EQ(text_of(back.bstrVal), "owned");
    EXPECT_EQ(VariantClear(&back), S_OK);
}

TEST(COLEVariant, EqualityNeedsTheSameTypeAndValue) {
    EXPECT_TRUE(COLEVariant(5L) == COLEVariant(5L));
    EXPECT_FALSE(COLEVariant(5L) == COLEVariant(6L));
    EXPECT_FALSE(COLEVariant(5L) == COLEVariant(short(5)));
    EXPECT_TRUE(COLEVariant(1.5) == COLEVariant(1.5));
    EXPECT_TRUE(COLEVariant() == COLEVariant());
    EXPECT_TRUE(string_variant("abc") == string_variant("abc"));
    EXPECT_FALSE(string_variant("abc") == string_variant("abd"));
    EXPECT_FALSE(string_variant("ab") == string_variant("abc"));

    // Only the value counts, not bytes left over from a wider type.
    COLEVariant narrowed(0x12345678L);
    narrowed = BYTE(0x78);
    EXPECT_TRUE(narrowed == COLEVariant(BYTE(0x78)));

    short a = 4;
    short b = 4;
    const _variant_t ref_a = _variant_t::ByRef(&a);
    const _variant_t ref_b = _variant_t::ByRef(&b);
    EXPECT_TRUE(COLEVariant(ref_a) == ref_b);
    b = 5;
    EXPECT_FALSE(COLEVariant(ref_a) == ref_b);
}

TEST(COLEVariant, ChangeTypeConvertsOrReportsWithoutThrowing) {
    COLEVariant v = string_variant("42");
    v.ChangeType(VT_I4);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 42);

    COLEVariant bad = string_variant("not a number");
    EXPECT_NO_THROW(bad.ChangeType(VT_I4));
    EXPECT_EQ(bad.vt, VT_BSTR);
    EXPECT_EQ(text_of(bad.bstrVal), "not a number");

    COLEVariant target(1.0);
    const COLEVariant source(short(7));
    target.ChangeType(VT_R8, &source);
    EXPECT_EQ(target.vt, VT_R8);
    EXPECT_EQ(target.dblVal, 7.0);

    COLEVariant too_big(1e12);
    EXPECT_NO_THROW(too_big.ChangeType(VT_I2));
    EXPECT_EQ(too_big.vt, VT_R8);
}

TEST(VariantT, BuildsEveryWireType) {
    EXPECT_EQ(_variant_t(short(-2)).vt, VT_I2);
    EXPECT_EQ(_variant_t(5L).vt, VT_I4);
    EXPECT_EQ(_variant_t(5L).lVal, 5);
    EXPECT_EQ(_variant_t(0.5f).vt, VT_R4);
    EXPECT_EQ(_variant_t(0.5).vt, VT_R8);
    const _variant_t when(36526.5, VT_DATE);
    EXPECT_EQ(when.vt, VT_DATE);
    EXPECT_EQ(when.date, 36526.5);
    const _variant_t yes(true);
    EXPECT_EQ(yes.vt, VT_BOOL);
    EXPECT_EQ(yes.boolVal, VARIANT_TRUE);
    EXPECT_EQ(_variant_t('x').vt, VT_I1);
    EXPECT_EQ(_variant_t(BYTE(250)).vt, VT_UI1);
    EXPECT_EQ(_variant_t(static_cast<unsigned short>(60000)).vt, VT_UI2);
    EXPECT_EQ(_variant_t(4000000000UL).vt, VT_UI4);
    EXPECT_EQ(_variant_t(4000000000UL).ulVal, 4000000000u);
    EXPECT_EQ(_variant_t(-9).vt, VT_INT);
    EXPECT_EQ(_variant_t(9u).vt, VT_UINT);
    EXPECT_EQ(_variant_t(short(1), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(_variant_t(3L, VT_ERROR).vt, VT_ERROR);

    const _variant_t dec(quill_test::sample_decimal());
    EXPECT_EQ(dec.vt, VT_DECIMAL);
    EXPECT_EQ(dec.decVal.scale, 2);
    EXPECT_EQ(dec.decVal.sign, DECIMAL_NEG);
    EXPECT_EQ(dec.decVal.Hi32, 1u);
    EXPECT_EQ(dec.decVal.Lo64, 12345u);

    const _variant_t text("hello");
    EXPECT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(text_of(text.bstrVal), "hello");
    const _variant_t wide(text.bstrVal);
    EXPECT_NE(wide.bstrVal, text.bstrVal);
    EXPECT_TRUE(wide == text);
}

TEST(VariantT, ByReferencePointsAtTheCallersValue) {
    short number = 12;
    _variant_t ref = _variant_t::ByRef(&number);
    EXPECT_EQ(ref.vt, VT_BYREF | VT_I2);
    EXPECT_EQ(ref.piVal, &number);
    number = 13;
    EXPECT_EQ(static_cast<long>(ref), 13);

    // Clearing a reference must not release the caller's string.
    BSTR text = make_bstr("mine");
    {
        _variant_t text_ref = _variant_t::ByRef(&text);
        EXPECT_EQ(text_ref.vt, VT_BYREF | VT_BSTR);
        EXPECT_EQ(text_ref.GetNarrowString(), "mine");
        _variant_t copy(text_ref);
        EXPECT_EQ(copy.pbstrVal, &text);
    }
    EXPECT_EQ(text_of(text), "mine");
    SysFreeString(text);

    VARIANT_BOOL flag = VARIANT_TRUE;
    const _variant_t flag_ref = _variant_t::ByRef(VT_BOOL, &flag);
    EXPECT_EQ(flag_ref.vt, VT_BYREF | VT_BOOL);
    EXPECT_TRUE(static_cast<bool>(flag_ref));

    EXPECT_EQ(_variant_t::ByRef(VT_EMPTY, &flag).vt, VT_EMPTY);
    EXPECT_EQ(_variant_t::ByRef(VT_I4, nullptr).vt, VT_EMPTY);
}

TEST(VariantT, ExtractorsConvertOrGiveZero) {
    EXPECT_EQ(static_cast<long>(_variant_t("12")), 12);
    EXPECT_EQ(static_cast<short>(_variant_t(2.5)), 2);
    EXPECT_EQ(static_cast<double>(_variant_t(short(-4))), -4.0);
    EXPECT_EQ(static_cast<float>(_variant_t("0.5")), 0.5f);
    EXPECT_EQ(static_cast<BYTE>(_variant_t(200L)), 200);
    EXPECT_TRUE(static_cast<bool>(_variant_t(3L)));
    EXPECT_EQ(_variant_t(42L).GetNarrowString(), "42");

    EXPECT_EQ(static_cast<long>(_variant_t("abc")), 0);
    EXPECT_EQ(static_cast<BYTE>(_variant_t(300L)), 0);
    EXPECT_FALSE(static_cast<bool>(_variant_t("maybe")));
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    EXPECT_EQ(_variant_t(null).GetNarrowString(), "");
}

TEST(VariantT, NarrowTextRoundTripsThroughTheCodePage) {
    const char* korean = "\xED\x95\x9C\xEA\xB8\x80"; // two Hangul syllables, UTF-8
    const std::string narrow = qp::wide_to_narrow(qp::narrow_to_wide(korean).c_str());
    _variant_t v;
    v.SetString(narrow.c_str());
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(v.GetNarrowString(), narrow);
}

TEST(VariantT, AssignmentsNeitherLeakNorFreeTwice) {
    _variant_t v("start");
    v = v;
    EXPECT_EQ(v.GetNarrowString(), "start");
    // The new text is this variant's own string.
    v = static_cast<const WCHAR*>(v.bstrVal);
    EXPECT_EQ(v.GetNarrowString(), "start");
    v = 5L;
    EXPECT_EQ(v.vt, VT_I4);
    v = "again";
    v.SetString("and again");
    EXPECT_EQ(v.GetNarrowString(), "and again");

    _variant_t when(1.0, VT_DATE);
    when = 2.0;
    EXPECT_EQ(when.vt, VT_DATE);
    _variant_t flag(true);
    flag = short(0);
    EXPECT_EQ(flag.vt, VT_BOOL);
    EXPECT_EQ(flag.boolVal, VARIANT_FALSE);

    DECIMAL d;
    memset(&d, 0, sizeof d);
    d.Lo64 = 77;
    _variant_t dec(d);
    dec = dec.decVal;
    EXPECT_EQ(dec.vt, VT_DECIMAL);
    EXPECT_EQ(dec.decVal.Lo64, 77u);

    VARIANT raw = _variant_t("detached").Detach();
    _variant_t taken(raw, false);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(taken.GetNarrowString(), "detached");
    _variant_t kept(taken, true);
    taken.ChangeType(VT_I4);
    EXPECT_EQ(taken.vt, VT_BSTR);
    EXPECT_EQ(kept.GetNarrowString(), "detached");
}

TEST(COLEVariantDate, HoldsTheDayCountAsADate) {
    const COLEDateTime noon(2026, 12, 8, 12, 0, 0);
    COLEVariant v(noon);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, static_cast<double>(noon));

    COLEVariant string_variant;
    string_variant.vt = VT_BSTR;
    string_variant.bstrVal = SysAllocString(reinterpret_cast<const OLECHAR*>(u"x"));
    string_variant = COLEDateTime(0.5);
    EXPECT_EQ(string_variant.vt, VT_DATE) << "a string variant takes the date as a new type";
    EXPECT_EQ(string_variant.date, 0.5);
    v = COLEDateTime(1.25);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 1.25);
}

} // namespace

namespace {

// A variant owning a fresh array of the given type and bounds (first
// dimension first), its elements set by fill(index, address).
COLEVariant array_variant(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds,
                          const std::function<void(size_t, void*)>& fill) {
    SAFEARRAY* array =
        SafeArrayCreate(type, static_cast<unsigned int>(bounds.size()), bounds.data());
    EXPECT_NE(array, nullptr);
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    size_t count = 1;
    for (const SAFEARRAYBOUND& bound : bounds)
        count *= bound.cElements;
    for (size_t i = 0; i < count; ++i)
        fill(i, static_cast<char*>(data) + i * array->cbElements);
    SafeArrayUnaccessData(array);
    VARIANT v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(VT_ARRAY | type);
    v.parray = array;
    COLEVariant result;
    result.Attach(v);
    return result;
}

COLEVariant longs(std::vector<int32_t> values, int32_t lowest = 0) {
    return array_variant(VT_I4, {{static_cast<uint32_t>(values.size()), lowest}},
                         [&](size_t i, void* at) { memcpy(at, &values[i], 4); });
}

} // namespace

TEST(COLEVariantArray, ArraysCompareElementByElementNotByAddress) {
    const COLEVariant a = longs({1, 2, 3});
    const COLEVariant b = longs({1, 2, 3});
    ASSERT_NE(a.parray, b.parray);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == longs({1, 2, 4}));
    EXPECT_FALSE(a == longs({1, 2}));
    EXPECT_FALSE(a == longs({1, 2, 3}, 1)) << "other bounds";

    // Two dimensions of 2 x 3 against 3 x 2 with the same six elements.
    auto counting = [](size_t i, void* at) {
        const int32_t value = static_cast<int32_t>(i);
        memcpy(at, &value, 4);
    };
    const COLEVariant wide = array_variant(VT_I4, {{2, 0}, {3, 0}}, counting);
    EXPECT_TRUE(wide == array_variant(VT_I4, {{2, 0}, {3, 0}}, counting));
    EXPECT_FALSE(wide == array_variant(VT_I4, {{3, 0}, {2, 0}}, counting));
    EXPECT_FALSE(wide == array_variant(VT_I4, {{6, 0}}, counting));

    // A copy owns its own elements and still equals the original.
    const COLEVariant copy(a);
    EXPECT_NE(copy.parray, a.parray);
    EXPECT_TRUE(copy == a);
}

TEST(COLEVariantArray, TextsAndVariantsInArraysCompareByValue) {
    auto texts = [](const char* second) {
        return array_variant(VT_BSTR, {{2, 0}}, [second](size_t i, void* at) {
            *static_cast<BSTR*>(at) = make_bstr(i == 0 ? "one" : second);
        });
    };
    EXPECT_TRUE(texts("two") == texts("two"));
    EXPECT_FALSE(texts("two") == texts("tw0"));

    auto mixed = [](double last) {
        return array_variant(VT_VARIANT, {{2, 0}}, [last](size_t i, void* at) {
            VARIANT* v = static_cast<VARIANT*>(at);
            if (i == 0) {
                v->vt = VT_BSTR;
                v->bstrVal = make_bstr("x");
            } else {
                v->vt = VT_R8;
                v->dblVal = last;
            }
        });
    };
    EXPECT_TRUE(mixed(0.0) == mixed(-0.0));
    EXPECT_FALSE(mixed(1.0) == mixed(2.0));
}

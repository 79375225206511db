#include <gtest/gtest.h>

#include "SysUtils.h"
#include "Variants.h"

namespace {

class VariantsTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = USFormatSettings(); }
};

TEST_F(VariantsTest, UnassignedIsNotNull) {
    Variant e, n = Null();
    EXPECT_TRUE(VarIsEmpty(e));
    EXPECT_FALSE(VarIsNull(e));
    EXPECT_TRUE(VarIsNull(n));
    EXPECT_FALSE(VarIsEmpty(n));
    EXPECT_FALSE(e == n);
    EXPECT_TRUE(e != n);
    EXPECT_TRUE(n == Null());
    EXPECT_EQ(VarToStr(e), "");
    EXPECT_EQ(VarToStr(n), "");
    EXPECT_EQ(e.AsDouble(), 0);
    EXPECT_EQ(VarType(e + e), varInteger);
}

TEST_F(VariantsTest, NullToNumberRaisesWithTypeNames) {
    try {
        Null().AsDouble();
        FAIL() << "no exception";
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message, "Could not convert variant of type (Null) into type (Double)");
    }
    EXPECT_THROW(VarAsType(Null(), varString), EVariantTypeCastError);
    EXPECT_THROW(Variant("abc").AsDouble(), EVariantTypeCastError);
}

TEST_F(VariantsTest, ArithmeticKindsAndResults) {
    struct Row {
        Variant result;
        TVarType type;
        std::string text;
    };
    const Row rows[] = {
        {Variant("ab") + Variant("cd"), varString, "abcd"},
        {Variant("2") + Variant(3), varDouble, "5"},
        {Variant(3) + Variant("2.5"), varDouble, "5.5"},
        {Variant(2147483647) + Variant(1), varInt64, "2147483648"},
        {Variant(-2147483647 - 1) * Variant(-1), varInt64, "2147483648"},
        {Variant(7) / Variant(2), varDouble, "3.5"},
        {Variant(6) / Variant(3), varDouble, "2"},
        {Variant(7).Div(Variant(2)), varInteger, "3"},
        {Variant(7).Mod(Variant(3)), varInteger, "1"},
        {Variant(-7).Mod(Variant(3)), varInteger, "-1"},
        {Variant(2.5).Div(Variant(1)), varInteger, "2"},  // real operands round half to even
        {Variant(6).And(Variant(3)), varInteger, "2"},
        {Variant(true).And(Variant(false)), varBoolean, "False"},
        {Variant(true).Or(Variant("False")), varBoolean, "True"},
        {Variant(5).Or(Variant(2)), varInteger, "7"},
        {Variant(true).Not(), varBoolean, "False"},
        {Variant(0).Not(), varInteger, "-1"},
        {-Variant(4), varInteger, "-4"},
        {-Variant(-2147483647 - 1), varInt64, "2147483648"},
        {Variant() + Variant(5), varInteger, "5"},
        {Variant() + Variant("x"), varString, "x"},
        {Variant(true) + Variant(0), varInteger, "-1"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(VarType(r.result), r.type) << r.text;
        EXPECT_EQ(VarToStr(r.result), r.text);
    }
}

TEST_F(VariantsTest, NullPropagatesThroughArithmetic) {
    Variant n = Null();
    for (const Variant& v : {n + Variant(1), Variant(1) - n, n * Variant(2), n / Variant(0), n.Div(Variant(1)),
                             n.Mod(Variant(1)), n.And(Variant(true)), -n, n.Not(), Variant("a") + n})
        EXPECT_TRUE(VarIsNull(v));
}

TEST_F(VariantsTest, DivisionByZeroRaises) {
    EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);
    EXPECT_THROW(Variant(0) / Variant(0), EInvalidOp);
    EXPECT_THROW(Variant(1).Div(Variant(0)), EDivByZero);
    EXPECT_THROW(Variant(1).Mod(Variant(0)), EDivByZero);
}

TEST_F(VariantsTest, IntegerOverflowWidensToDouble) {
    Variant big = VarAsType(Variant(9223372036854775807LL), varInt64);
    Variant r = big + Variant(1);
    EXPECT_EQ(VarType(r), varDouble);
    EXPECT_DOUBLE_EQ(r.AsDouble(), 9223372036854775808.0);
    EXPECT_THROW(Variant(1e300) * Variant(1e300), EOverflow);
}

TEST_F(VariantsTest, Comparisons) {
    EXPECT_TRUE(Variant(2) < Variant(2.5));
    EXPECT_TRUE(Variant("10") == Variant(10));
    EXPECT_TRUE(Variant("b") > Variant("a"));
    EXPECT_TRUE(Variant("B") < Variant("a"));  // case-sensitive
    EXPECT_TRUE(Variant(true) == Variant("true"));
    EXPECT_TRUE(Variant(false) < Variant(true));
    EXPECT_TRUE(Variant() == Variant(0));
    EXPECT_TRUE(Variant() == Variant(""));
    EXPECT_FALSE(Variant(1) == Null());
    EXPECT_TRUE(Null() < Variant(-5));  // null orders first under the loose rule
    EXPECT_THROW((void)(Variant("abc") < Variant(1)), EVariantTypeCastError);
}

TEST_F(VariantsTest, StrictNullRuleMakesEveryComparisonFalse) {
    NullEqualityRule = ncrStrict;
    NullMagnitudeRule = ncrStrict;
    EXPECT_FALSE(Null() == Null());
    EXPECT_FALSE(Null() != Variant(1));
    EXPECT_FALSE(Null() < Variant(1));
    NullEqualityRule = ncrError;
    EXPECT_THROW((void)(Null() == Variant(1)), EVariantError);
    NullEqualityRule = ncrLoose;
    NullMagnitudeRule = ncrLoose;
}

TEST_F(VariantsTest, BooleanText) {
    EXPECT_EQ(VarToStr(Variant(true)), "True");
    EXPECT_EQ(VarToStr(Variant(false)), "False");
    EXPECT_TRUE(Variant("TRUE").AsBoolean());
    EXPECT_FALSE(Variant(" false ").AsBoolean());
    EXPECT_TRUE(Variant("2").AsBoolean());
    EXPECT_THROW(Variant("yes").AsBoolean(), EVariantTypeCastError);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(VarAsType(Variant("True"), varInteger).AsInteger(), -1);
}

TEST_F(VariantsTest, DatesKeepTheirKindAndText) {
    TDateTime d = EncodeDate(2024, 2, 29);
    Variant v = VarFromDateTime(d);
    EXPECT_EQ(VarType(v), varDate);
    EXPECT_EQ(VarToStr(v), DateTimeToStr(d));
    EXPECT_EQ(VarType(v + Variant(1)), varDate);
    EXPECT_DOUBLE_EQ((v + Variant(1)).AsDouble(), d + 1);
    Variant diff = VarFromDateTime(d + 3) - v;
    EXPECT_EQ(VarType(diff), varDouble);
    EXPECT_DOUBLE_EQ(diff.AsDouble(), 3);
    EXPECT_DOUBLE_EQ(VarToDateTime(Variant(DateToStr(d))), d);
}

TEST_F(VariantsTest, DateTextsFollowTheLocale) {
    TDateTime d = EncodeDate(2024, 2, 29);
    TDateTime dt = d + EncodeTime(18, 30, 0, 0);
    struct Row {
        Variant value;
        const char* text;
    };
    const Row rows[] = {
        {VarFromDateTime(d), "2/29/2024"},  // a date without a time shows no time
        {VarFromDateTime(dt), "2/29/2024 6:30:00 PM"},
        {VarFromDateTime(d) + Variant(1), "3/1/2024"},  // a date plus days stays a date
    };
    for (const Row& r : rows) EXPECT_EQ(VarToStr(r.value), r.text);
    // Text is read back as a date when compared with one.
    EXPECT_TRUE(VarFromDateTime(d) == Variant("2/29/2024"));
    EXPECT_TRUE(VarFromDateTime(d) < Variant("3/1/2024"));
    EXPECT_DOUBLE_EQ(VarToDateTime(Variant("2/29/2024 6:30 PM")), dt);
    EXPECT_THROW(VarToDateTime(Variant("2/30/2024")), EVariantTypeCastError);
}

TEST_F(VariantsTest, UnassignedAndNullTakeDifferentPaths) {
    Variant e, n = Null();
    // unassigned acts as 0 or "" in arithmetic; null swallows the result
    EXPECT_EQ(VarType(e * Variant(5)), varInteger);
    EXPECT_EQ((e * Variant(5)).AsInteger(), 0);
    EXPECT_EQ(VarType(e - Variant(2.5)), varDouble);
    EXPECT_TRUE(VarIsNull(e + n));
    EXPECT_TRUE(VarIsNull(n - e));
    EXPECT_TRUE(e == e);
    EXPECT_TRUE(n == n);
    EXPECT_FALSE(n == Variant(0));
    EXPECT_TRUE(n < e);  // null orders first
    EXPECT_FALSE(e.AsBoolean());
    EXPECT_THROW(n.AsBoolean(), EVariantTypeCastError);
    EXPECT_TRUE(VarIsEmpty(VarAsType(Variant(3), varEmpty)));
    EXPECT_TRUE(VarIsNull(VarAsType(Variant(3), varNull)));
    EXPECT_EQ(VarToStrDef(e, "d"), "d");
    EXPECT_EQ(VarToStrDef(n, "d"), "d");
}

TEST_F(VariantsTest, ConversionsRoundAndRangeCheck) {
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant("$1F").AsInteger(), 31);
    EXPECT_EQ(Variant(" 42 ").AsInteger(), 42);
    EXPECT_THROW(Variant(3e9).AsInteger(), EVariantOverflowError);
    EXPECT_EQ(VarType(VarAsType(Variant(1), varInt64)), varInt64);
    EXPECT_EQ(VarType(VarAsType(Variant("1.5"), varDouble)), varDouble);
    EXPECT_EQ(VarToStr(VarAsType(Variant(1.5), varString)), "1.5");
    EXPECT_EQ(VarTypeAsText(varString), "String");
}

TEST_F(VariantsTest, SameValueAndRelationship) {
    EXPECT_TRUE(VarSameValue(Null(), Null()));
    EXPECT_FALSE(VarSameValue(Null(), Variant()));
    EXPECT_TRUE(VarSameValue(Variant(1), Variant(1.0)));
    EXPECT_EQ(VarCompareValue(Variant(1), Null()), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(1), Variant(2)), vrLessThan);
}

}  // namespace

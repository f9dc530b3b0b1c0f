#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/decimal_text.h"
#include "platform/variant.h"

namespace dovrel {
namespace {

TEST(DecimalText, SmallNumbersAndZero) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(7), L"7");
    EXPECT_EQ(DecimalText(10), L"10");
    EXPECT_EQ(DecimalText(8164), L"8164");
    EXPECT_EQ(DecimalText(-1), L"-1");
    EXPECT_EQ(DecimalText(-90), L"-90");
}

TEST(DecimalText, LimitsOfTheWindowsNumberTypes) {
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int32_t>::min()), L"-2147483648");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int32_t>::max()), L"2147483647");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::uint32_t>::max()), L"4294967295");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::uint16_t>::max()), L"65535");
}

TEST(DecimalText, LimitsOfItsOwnType) {
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int64_t>::max()), L"9223372036854775807");
}

TEST(VariantToText, NumbersAsTheirDigitsFlagsAsWordsTextUnchanged) {
    EXPECT_EQ(VariantToText(Variant(std::int32_t{0})), L"0");
    EXPECT_EQ(VariantToText(Variant(std::int32_t{-5})), L"-5");
    EXPECT_EQ(VariantToText(Variant(std::numeric_limits<std::int32_t>::min())), L"-2147483648");
    EXPECT_EQ(VariantToText(Variant(true)), L"True");
    EXPECT_EQ(VariantToText(Variant(false)), L"False");
    EXPECT_EQ(VariantToText(Variant(std::wstring(L"12"))), L"12");
    EXPECT_EQ(VariantToText(Variant()), L"");
}

} // namespace
} // namespace dovrel

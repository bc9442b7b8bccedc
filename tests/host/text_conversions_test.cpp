#include <gtest/gtest.h>

#include <climits>

#include "core/text_conversions.h"

namespace {

struct ToIntCase {
    const char* what;
    std::string text;
    std::int32_t expected;
};

// Test names show what each case is about.
void PrintTo(const ToIntCase& c, std::ostream* out) { *out << c.what; }

class TextToIntTest : public ::testing::TestWithParam<ToIntCase> {};

TEST_P(TextToIntTest, FoldsFullWidthThenParsesLikeAtoiWithWrap) {
    EXPECT_EQ(textToInt(GetParam().text), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntTest,
    ::testing::Values(
        ToIntCase{"empty", "", 0},
        ToIntCase{"a star", "*", 0},
        ToIntCase{"letters", "abc", 0},
        ToIntCase{"space, plus, digit", " +7", 7},
        ToIntCase{"minus zero", "-0", 0},
        ToIntCase{"white space, sign, digits, then letters", "\t\n -12ab", -12},
        ToIntCase{"digits stop at the first non-digit", "12 34", 12},
        ToIntCase{"two signs", "+-3", 0},
        ToIntCase{"full-width digits", "\xA3\xB1\xA3\xB2", 12},
        ToIntCase{"full-width minus and digits", "\xA3\xAD\xA3\xB5", -5},
        ToIntCase{"ideographic space before a digit", "\xA1\xA1" "7", 7},
        ToIntCase{"full-width tilde is no digit", "\xA1\xAB" "7", 0},
        ToIntCase{"other two-byte characters stay and stop the parse", "\xC9\xCF" "7", 0},
        ToIntCase{"lone lead byte at the end is dropped", "42\xA3", 42},
        ToIntCase{"2^31 wraps to the minimum", "2147483648", INT_MIN},
        ToIntCase{"2^32 + 1 wraps to 1", "4294967297", 1},
        ToIntCase{"largest value", "2147483647", INT_MAX},
        ToIntCase{"window handle as typed", "  1311402", 1311402}));

TEST(IntToText, SignedDecimal) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(-1), "-1");
    EXPECT_EQ(intToText(INT_MAX), "2147483647");
    EXPECT_EQ(intToText(INT_MIN), "-2147483648");
}

TEST(ConcatText, JoinsInOrderAndNeverLosesAnEmptyResult) {
    EXPECT_EQ(concatText({"Tavrelo", "\xA1\xAA", "pc"}), "Tavrelo\xA1\xAApc");
    EXPECT_EQ(concatText({"", ""}), "");
    EXPECT_EQ(concatText({"http://", ""}), "http://");
    EXPECT_EQ(textLength("\xC9\xCF" "ab"), 4);
    EXPECT_EQ(textLength(""), 0);
}

struct CompareCase {
    std::string a, b;
    int expected;
};

TEST(CompareText, IsExactlyMinusOneZeroOrOneOverUnsignedBytes) {
    const CompareCase cases[] = {
        {"", "", 0},        {"abc", "", 1},       {"", "abc", -1},   {"abc", "abc", 0},
        {"abc", "abd", -1}, {"abz", "abc", 1},    {"ab", "abc", -1}, {"abc", "ab", 1},
        {"\xB0", "abc", 1}, {"a", "\xFF\xFF", -1}, {"a", "z", -1},   {"z", "a", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(compareText(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

}  // namespace

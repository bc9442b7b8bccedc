// The search and conversion every request match rests on, as tables of bytes.
#include <gtest/gtest.h>

#include "core/text.h"

namespace {

struct FindCase {
    const char* what;
    std::string haystack;
    std::string needle;
    int start;
    bool ignoreCase;
    int expected;
};

// Test names show what each case is about.
void PrintTo(const FindCase& c, std::ostream* out) { *out << c.what; }

class FindTextTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, FindsFirstOccurrenceAtCharacterStarts) {
    const FindCase& c = GetParam();
    EXPECT_EQ(findText(c.haystack, c.needle, c.start, c.ignoreCase), c.expected) << c.what;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    ::testing::Values(
        FindCase{"empty needle is found at the first byte", "abc", "", 1, false, 1},
        FindCase{"empty needle ignores the start position", "abc", "", 3, false, 1},
        FindCase{"empty needle past the end", "abc", "", 4, false, -1},
        FindCase{"empty needle in empty haystack", "", "", 1, false, -1},
        FindCase{"needle in empty haystack", "", "a", 1, false, -1},
        FindCase{"needle longer than haystack", "ab", "abc", 1, false, -1},
        FindCase{"upper-case needle, ignoring case", "abc", "BC", 1, true, 2},
        FindCase{"upper-case needle, with case", "abc", "BC", 1, false, -1},
        FindCase{"result counts from the haystack's first byte", "abcabc", "c", 4, false, 6},
        FindCase{"start of 0 scans from the first byte", "abc", "a", 0, false, 1},
        FindCase{"negative start scans from the first byte", "abc", "a", -7, false, 1},
        FindCase{"start past the end", "abc", "c", 9, false, -1},
        FindCase{"lower-case method word, ignoring case", "get / HTTP/1.1", "GET", 1, true, 1},
        FindCase{"lower-case method word, with case", "get / HTTP/1.1", "GET", 1, false, -1},
        FindCase{"with case, a later upper-case word counts", "get /GET", "GET", 1, false, 6},
        FindCase{"ASCII needle hidden in a second byte", "\xB0\x25\x34\x31", "\x25\x34\x31", 1, false, -1},
        FindCase{"the same bytes after an ASCII byte", "a\x25\x34\x31", "\x25\x34\x31", 1, false, 2},
        FindCase{"lead byte as the last byte ends the search", "ab\xB0", "z", 1, false, -1},
        FindCase{"needle made of a two-byte character", "a\xC9\xCF\xD2\xBB", "\xD2\xBB", 1, false, 4},
        FindCase{"full-width letters never fold: A vs a", "\xA3\xC1", "\xA3\xE1", 1, true, -1},
        FindCase{"full-width letter vs its ASCII form", "\xA3\xC1", "A", 1, true, -1},
        FindCase{"ignoring case folds second bytes too", "\x81\x41", "\x81\x61", 1, true, 1},
        FindCase{"bytes above Z are not folded", "[", "{", 1, true, -1}));

TEST(BytesToText, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(bytesToText("abcde\0fgh"s), "abcde");
    EXPECT_EQ(bytesToText("\0abc"s), "");
    EXPECT_EQ(bytesToText(""), "");
    EXPECT_EQ(bytesToText("no zero \xC9\xCF"), "no zero \xC9\xCF");
}

}  // namespace

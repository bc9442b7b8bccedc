// The command table must match what browsers send for the page's labels, byte
// for byte: the labels are compiled into GBK, so check the bytes themselves.
#include <gtest/gtest.h>

#include "core/player_commands.h"
#include "gbk.h"

namespace {

struct Row {
    const char* labelUtf8;
    const char* token;
    char letter;
    const char* chordText;
};

const Row expectedRows[] = {
    {"上一首", "%C9%CF%D2%BB%CA%D7", 'J', "Ctrl+Alt+J"},
    {"播放/暂停", "%B2%A5%B7%C5%2F%D4%DD%CD%A3", 'P', "Ctrl+Alt+P"},
    {"下一首", "%CF%C2%D2%BB%CA%D7", 'K', "Ctrl+Alt+K"},
    {"音量加", "%D2%F4%C1%BF%BC%D3", 'U', "Ctrl+Alt+U"},
    {"喜欢歌曲", "%CF%B2%BB%B6%B8%E8%C7%FA", 'L', "Ctrl+Alt+L"},
    {"音量减", "%D2%F4%C1%BF%BC%F5", 'I', "Ctrl+Alt+I"},
};

TEST(PlayerCommands, SixRowsInMatchingOrderWithGbkLabelsTokensAndChords) {
    ASSERT_EQ(PlayerCommands.size(), std::size(expectedRows));
    for (std::size_t i = 0; i < PlayerCommands.size(); ++i) {
        const PlayerCommand& row = PlayerCommands[i];
        const Row& expected = expectedRows[i];
        SCOPED_TRACE(expected.token);
        EXPECT_EQ(row.label, gbkFromUtf8(expected.labelUtf8));
        EXPECT_EQ(row.token, expected.token);
        EXPECT_EQ(row.token, percentEncodeGbk(row.label));
        EXPECT_EQ(row.token.size(), 3 * row.label.size());
        EXPECT_EQ(row.keys[0], 0x11);  // generic Control, not the left-hand code
        EXPECT_EQ(row.keys[1], 0x12);  // generic Alt
        EXPECT_EQ(row.keys[2], expected.letter);
        EXPECT_EQ(row.chordText, expected.chordText);
    }
}

TEST(PercentEncodeGbk, EncodesEveryByteInUpperCaseHex) {
    EXPECT_EQ(percentEncodeGbk(gbkFromUtf8("关机")), "%B9%D8%BB%FA");
    EXPECT_EQ(percentEncodeGbk("a/ \x0F"), "%61%2F%20%0F");
    EXPECT_EQ(percentEncodeGbk(""), "");
}

}  // namespace

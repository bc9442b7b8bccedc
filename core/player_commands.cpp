#include "player_commands.h"

namespace {
constexpr std::uint8_t Control = 0x11;  // the generic codes, not left/right variants
constexpr std::uint8_t Alt = 0x12;
}  // namespace

// Compiled with GBK as the execution character set: the labels are GBK bytes.
const std::array<PlayerCommand, 6> PlayerCommands = {{
    {"PreviousTrack", "上一首", "%C9%CF%D2%BB%CA%D7", {Control, Alt, 'J'}, "Ctrl+Alt+J"},
    {"PlayPause", "播放/暂停", "%B2%A5%B7%C5%2F%D4%DD%CD%A3", {Control, Alt, 'P'}, "Ctrl+Alt+P"},
    {"NextTrack", "下一首", "%CF%C2%D2%BB%CA%D7", {Control, Alt, 'K'}, "Ctrl+Alt+K"},
    {"VolumeUp", "音量加", "%D2%F4%C1%BF%BC%D3", {Control, Alt, 'U'}, "Ctrl+Alt+U"},
    {"LikeSong", "喜欢歌曲", "%CF%B2%BB%B6%B8%E8%C7%FA", {Control, Alt, 'L'}, "Ctrl+Alt+L"},
    {"VolumeDown", "音量减", "%D2%F4%C1%BF%BC%F5", {Control, Alt, 'I'}, "Ctrl+Alt+I"},
}};

Text percentEncodeGbk(std::string_view gbk) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(gbk.size() * 3);
    for (unsigned char byte : gbk) {
        encoded += '%';
        encoded += hexDigits[byte >> 4];
        encoded += hexDigits[byte & 0x0F];
    }
    return encoded;
}

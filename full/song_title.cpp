#include "song_title.h"

#include <string>

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

const char* entityFor(char32_t character) {
    switch (character) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return "&quot;";
        case '\'': return "&#39;";
    }
    return nullptr;
}

}  // namespace

Text titleForPage(std::u16string_view title, const GbkEncoder& toGbk) {
    Text page;
    page.reserve(title.size() * 2);
    for (std::size_t at = 0; at < title.size(); ++at) {
        char32_t character = title[at];
        if (isHighSurrogate(title[at]) && at + 1 < title.size() && isLowSurrogate(title[at + 1])) {
            character = 0x10000 + ((character - 0xD800) << 10) + (title[at + 1] - 0xDC00);
            ++at;
        } else if (isHighSurrogate(title[at]) || isLowSurrogate(title[at])) {
            character = ReplacementCharacter;  // half a pair is no character
        }

        if (const char* entity = entityFor(character)) {
            page += entity;
        } else if (character == 0) {
            break;  // a title ends at its first zero
        } else if (character < 0x80) {
            page += static_cast<char>(character);
        } else if (Text gbk = toGbk(character); !gbk.empty()) {
            page += gbk;
        } else {
            page += "&#" + std::to_string(static_cast<unsigned long>(character)) + ";";
        }
    }
    return page;
}

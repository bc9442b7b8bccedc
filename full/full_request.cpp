#include "full_request.h"

#include <cctype>

#include "core/text_conversions.h"

namespace {

bool endsFormValue(char next) { return next == '&' || next == '\r' || next == '\n' || next == ' '; }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// The announced body length, or 0 when the header block names none.
std::size_t contentLength(std::string_view headerBlock) {
    constexpr std::string_view name = "content-length:";
    std::size_t lineStart = headerBlock.find('\n');
    while (lineStart != std::string_view::npos) {
        std::string_view line = headerBlock.substr(lineStart + 1);
        line = line.substr(0, line.find('\n'));
        if (startsWithIgnoringCase(line, name)) {
            std::size_t at = name.size(), length = 0;
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
            for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])); ++at)
                length = std::min<std::size_t>(length * 10 + static_cast<std::size_t>(line[at] - '0'),
                                               RequestAssembler::MaxRequestBytes + 1);
            return length;
        }
        lineStart = headerBlock.find('\n', lineStart + 1);
    }
    return 0;
}

}  // namespace

bool carriesPassword(std::string_view request, std::string_view password) {
    const Text probe = concatText({"psw_s=", password});
    // An empty box asks for no password: any shutdown press carries "psw_s=".
    if (password.empty()) return findText(request, probe) != -1;
    // The typed value must be the password itself, not merely begin with it.
    for (int at = findText(request, probe); at != -1; at = findText(request, probe, at + 1)) {
        const std::size_t end = static_cast<std::size_t>(at) - 1 + probe.size();
        if (end == request.size() || endsFormValue(request[end])) return true;
    }
    return false;
}

FullJudgement judgeFullRequest(std::string_view request, std::string_view password) {
    if (findText(request, "POST") != -1)
        for (const PlayerCommand& row : PlayerCommands)
            if (findText(request, row.token) != -1) return {FullOutcome::PlayCommand, &row};
    if (findText(request, ShutdownToken) != -1)
        return {carriesPassword(request, password) ? FullOutcome::AcceptedShutdown : FullOutcome::RefusedShutdown};
    if (findText(request, "GET") != -1) return {FullOutcome::PageRequest};
    return {FullOutcome::NoAnswer};
}

bool isIncompletePost(std::string_view bytes) {
    constexpr std::string_view method = "POST";
    if (bytes.size() < method.size()) return !bytes.empty() && method.substr(0, bytes.size()) == bytes;
    if (bytes.substr(0, method.size()) != method) return false;
    std::size_t headerEnd = bytes.find("\r\n\r\n"), separator = 4;
    if (headerEnd == std::string_view::npos) {
        headerEnd = bytes.find("\n\n");
        separator = 2;
    }
    if (headerEnd == std::string_view::npos) return true;
    const std::size_t bodyBytes = bytes.size() - headerEnd - separator;
    return contentLength(bytes.substr(0, headerEnd)) > bodyBytes;
}

std::optional<ByteData> RequestAssembler::add(const Text& client, std::string_view arrival) {
    auto kept = pending_.find(client);
    if (kept == pending_.end()) {
        if (!isIncompletePost(arrival) || arrival.size() >= MaxRequestBytes) return ByteData(arrival);
        pending_.emplace(client, ByteData(arrival));
        return std::nullopt;
    }
    kept->second += arrival;
    if (isIncompletePost(kept->second) && kept->second.size() < MaxRequestBytes) return std::nullopt;
    ByteData whole = std::move(kept->second);
    pending_.erase(kept);
    return whole;
}

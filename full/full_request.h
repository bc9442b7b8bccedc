// How the full edition judges a request: a press of a player button, the
// shutdown button with or without the right password, a page request, or
// nothing it answers.
#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>

#include "core/player_commands.h"
#include "core/text.h"

// The shutdown button's label "关机" as a browser posts it.
inline constexpr std::string_view ShutdownToken = "%B9%D8%BB%FA";

enum class FullOutcome { PlayCommand, AcceptedShutdown, RefusedShutdown, PageRequest, NoAnswer };

struct FullJudgement {
    FullOutcome outcome;
    const PlayerCommand* command = nullptr;  // for PlayCommand
};

// The password box's text is the password; an empty box asks for none.
FullJudgement judgeFullRequest(std::string_view request, std::string_view password);

// Whether the request's form data holds psw_s with exactly this password.
bool carriesPassword(std::string_view request, std::string_view password);

// Gathers the pieces of a form POST that reaches the PC in several arrivals
// (some browsers send the header block and the body in separate writes), so
// that the request is judged once it is whole.
class RequestAssembler {
public:
    static constexpr std::size_t MaxRequestBytes = 64 * 1024;

    // The request to judge now, or nothing while a POST is still arriving.
    std::optional<ByteData> add(const Text& client, std::string_view arrival);
    // The connection has gone: its kept bytes go too.
    void forget(const Text& client) { pending_.erase(client); }
    bool isWaitingFor(const Text& client) const { return pending_.count(client) != 0; }

private:
    std::unordered_map<Text, ByteData> pending_;
};

// A POST whose header block has not ended yet, or whose Content-Length
// announces more body than has arrived.
bool isIncompletePost(std::string_view bytes);

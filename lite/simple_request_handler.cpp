#include "simple_request_handler.h"

#include "core/answer.h"
#include "simple_control_page.h"

namespace {

std::string_view requestLine(std::string_view request) {
    return request.substr(0, std::min(request.find_first_of("\r\n"), request.size()));
}

}  // namespace

const PlayerCommand* findSimpleCommand(std::string_view request) {
    if (findText(request, "GET", 1, /*ignoreCase=*/true) == -1) return nullptr;
    const std::string_view line = requestLine(request);
    for (const PlayerCommand& row : PlayerCommands)
        if (findText(line, row.token) != -1) return &row;
    return nullptr;
}

void simpleRequestHandler(const ConnectionOperations& server, const ChordSynthesizer& synthesizeChord) {
    static const Text answer = composeAnswer({SimpleControlPage});

    const Text request = bytesToText(server.getReceivedData());
    server.sendData(server.getCurrentClient(), answer);
    server.disconnectClient(server.getCurrentClient());

    // The browser has its answer before the player hears the chord.
    if (const PlayerCommand* row = findSimpleCommand(request))
        synthesizeChord(row->keys[0], row->keys[1], row->keys[2]);
}

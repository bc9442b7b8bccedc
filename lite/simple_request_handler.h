// How the simple edition answers every arrival: page, close, then the press.
#pragma once

#include <string_view>

#include "core/connection_operations.h"
#include "core/player_commands.h"

// The row a request presses, or nullptr. The method word may stand anywhere in
// any case; tokens count only in the request line, because browsers repeat the
// previous press's address in header lines such as Referer.
const PlayerCommand* findSimpleCommand(std::string_view request);

// Sends the page, closes the connection, then plays the pressed row's chord.
void simpleRequestHandler(const ConnectionOperations& server, const ChordSynthesizer& synthesizeChord);

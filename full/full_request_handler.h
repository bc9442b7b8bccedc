// The full edition's answer to every arrival of bytes.
#pragma once

#include <functional>

#include "core/connection_operations.h"
#include "full_request.h"

// What the handler needs of the full edition's window and of the PC.
struct FullEditionOperations {
    std::function<Text()> password;       // the shutdown password box, as typed
    std::function<Text()> songTitleHtml;  // the picked window's title, ready for the page
    ChordSynthesizer synthesizeChord;
    std::function<void(int milliseconds)> pause;
    std::function<void()> startShutdown;
    std::function<void()> exitProgram;  // does not return in the program
};

// The player gets a moment to act on the chord before the title is read.
constexpr int PauseAfterChordMs = 300;

void fullRequestHandler(const ConnectionOperations& server, const FullEditionOperations& edition,
                        RequestAssembler& assembler);

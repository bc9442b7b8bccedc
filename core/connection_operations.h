// What a request handler may do with the connection server during DataArrival.
// The Win32 server fills this in; tests fill it with recorders.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "text.h"

struct ConnectionOperations {
    std::function<ByteData()> getReceivedData;
    std::function<Text()> getCurrentClient;
    std::function<bool(const Text& client, std::string_view data)> sendData;
    std::function<void(const Text& client)> disconnectClient;
};

// Presses and releases a chord of up to three virtual keys (0 = no key).
using ChordSynthesizer = std::function<void(std::uint8_t, std::uint8_t, std::uint8_t)>;

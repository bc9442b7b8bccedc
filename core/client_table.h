// The open connections of the connection server, in order of acceptance.
//
// A flood can leave thousands of connections open, so both look-ups (by socket
// for notifications, by address for handlers) go through hash indexes rather
// than a walk of the list.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text.h"

class ClientTable {
public:
    using Socket = std::uintptr_t;
    struct Client {
        Socket socket;
        Text address;  // "a.b.c.d:port"
    };

    void add(Socket socket, Text address);
    const Client* findBySocket(Socket socket) const;
    // The earliest accepted entry whose address equals this one exactly.
    const Client* findByAddress(std::string_view address) const;
    std::optional<Client> remove(Socket socket);
    // Every entry in acceptance order; the table is empty afterwards.
    std::vector<Client> takeAll();
    std::size_t size() const { return entries_.size(); }

private:
    using Entry = std::list<Client>::iterator;
    std::list<Client> entries_;
    std::unordered_map<Socket, Entry> bySocket_;
    // Live TCP peers never share an address; the list only keeps the rule
    // "earliest entry wins" true should the platform ever hand out a duplicate.
    std::unordered_map<Text, std::vector<Entry>> byAddress_;
};

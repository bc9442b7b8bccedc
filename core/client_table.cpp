#include "client_table.h"

#include <algorithm>

void ClientTable::add(Socket socket, Text address) {
    entries_.push_back({socket, std::move(address)});
    Entry entry = std::prev(entries_.end());
    bySocket_[socket] = entry;
    byAddress_[entry->address].push_back(entry);
}

const ClientTable::Client* ClientTable::findBySocket(Socket socket) const {
    auto found = bySocket_.find(socket);
    return found == bySocket_.end() ? nullptr : &*found->second;
}

const ClientTable::Client* ClientTable::findByAddress(std::string_view address) const {
    if (address.empty()) return nullptr;
    auto found = byAddress_.find(Text(address));
    return found == byAddress_.end() ? nullptr : &*found->second.front();
}

std::optional<ClientTable::Client> ClientTable::remove(Socket socket) {
    auto found = bySocket_.find(socket);
    if (found == bySocket_.end()) return std::nullopt;
    Entry entry = found->second;
    bySocket_.erase(found);

    auto sameAddress = byAddress_.find(entry->address);
    auto& entriesOfAddress = sameAddress->second;
    entriesOfAddress.erase(std::find(entriesOfAddress.begin(), entriesOfAddress.end(), entry));
    if (entriesOfAddress.empty()) byAddress_.erase(sameAddress);

    Client removed = std::move(*entry);
    entries_.erase(entry);
    return removed;
}

std::vector<ClientTable::Client> ClientTable::takeAll() {
    std::vector<Client> all(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()));
    entries_.clear();
    bySocket_.clear();
    byAddress_.clear();
    return all;
}

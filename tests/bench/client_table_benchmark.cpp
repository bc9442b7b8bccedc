// Prints how long one look-up in the client table takes as the number of
// open connections grows: a flood leaves thousands open, and each socket
// notification and each answer looks one up.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/client_table.h"

namespace {

template <typename LookUp>
double nanosecondsPerLookUp(std::size_t lookUps, LookUp lookUp) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t found = 0;
    for (std::size_t i = 0; i < lookUps; ++i) found += lookUp(i) != nullptr;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (found != lookUps) std::printf("  (missed %zu)\n", lookUps - found);
    return std::chrono::duration<double, std::nano>(elapsed).count() / static_cast<double>(lookUps);
}

}  // namespace

int main() {
    constexpr std::size_t LookUps = 1'000'000;
    std::printf("%12s %18s %18s\n", "connections", "by socket (ns)", "by address (ns)");
    for (std::size_t connections : {10u, 1'000u, 10'000u, 100'000u}) {
        ClientTable table;
        std::vector<Text> addresses;
        for (std::size_t i = 0; i < connections; ++i) {
            addresses.push_back("192.168." + std::to_string(i / 60000 % 256) + "." + std::to_string(i % 256) + ":" +
                                std::to_string(1024 + i % 60000));
            table.add(1000 + i * 4, addresses.back());
        }
        const double bySocket =
            nanosecondsPerLookUp(LookUps, [&](std::size_t i) { return table.findBySocket(1000 + (i % connections) * 4); });
        const double byAddress =
            nanosecondsPerLookUp(LookUps, [&](std::size_t i) { return table.findByAddress(addresses[i % connections]); });
        std::printf("%12zu %18.1f %18.1f\n", connections, bySocket, byAddress);
    }
}

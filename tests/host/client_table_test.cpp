#include <gtest/gtest.h>

#include "core/client_table.h"

namespace {

TEST(ClientTable, FindsBySocketAndByExactAddress) {
    ClientTable table;
    table.add(11, "127.0.0.1:5000");
    table.add(12, "127.0.0.1:5001");
    ASSERT_NE(table.findBySocket(12), nullptr);
    EXPECT_EQ(table.findBySocket(12)->address, "127.0.0.1:5001");
    EXPECT_EQ(table.findByAddress("127.0.0.1:5000")->socket, 11u);
    EXPECT_EQ(table.findByAddress("127.0.0.1:500"), nullptr);  // whole text, not a prefix
    EXPECT_EQ(table.findByAddress(""), nullptr);
    EXPECT_EQ(table.findBySocket(13), nullptr);
}

TEST(ClientTable, RemovingAnEntryForgetsItEverywhere) {
    ClientTable table;
    table.add(11, "a:1");
    table.add(12, "b:2");
    auto removed = table.remove(11);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->address, "a:1");
    EXPECT_EQ(table.findBySocket(11), nullptr);
    EXPECT_EQ(table.findByAddress("a:1"), nullptr);
    EXPECT_FALSE(table.remove(11));
    EXPECT_EQ(table.size(), 1u);
}

TEST(ClientTable, EarliestEntryWinsForASharedAddress) {
    ClientTable table;
    table.add(21, "same:1");
    table.add(22, "same:1");
    EXPECT_EQ(table.findByAddress("same:1")->socket, 21u);
    table.remove(21);
    EXPECT_EQ(table.findByAddress("same:1")->socket, 22u);
}

TEST(ClientTable, TakeAllKeepsAcceptanceOrderAndEmptiesTheTable) {
    ClientTable table;
    for (std::uintptr_t socket = 100; socket < 5100; ++socket)
        table.add(socket, "10.0.0.1:" + std::to_string(socket));
    table.remove(100);
    table.remove(4000);
    const auto all = table.takeAll();
    ASSERT_EQ(all.size(), 4998u);
    EXPECT_EQ(all.front().socket, 101u);
    EXPECT_EQ(all.back().socket, 5099u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](const auto& a, const auto& b) { return a.socket < b.socket; }));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.findBySocket(200), nullptr);
}

}  // namespace

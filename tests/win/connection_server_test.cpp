// The connection server on real sockets over loopback, its events pumped
// through this thread's message queue as in the programs.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/connection_server.h"

namespace {

constexpr int TestPort = 19741;

struct WinsockSession {
    WinsockSession() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { WSACleanup(); }
};

// A blocking loopback client that owns its socket.
class Client {
public:
    explicit Client(int port) : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<u_short>(port));
        connected_ = connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        DWORD timeoutMs = 5000;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    }
    ~Client() { close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return connected_; }
    std::string localAddress() const {
        sockaddr_in local{};
        int length = sizeof local;
        getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
        return std::string(inet_ntoa(local.sin_addr)) + ":" + std::to_string(ntohs(local.sin_port));
    }
    void send(const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const int n = ::send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            ASSERT_GT(n, 0);
            sent += static_cast<std::size_t>(n);
        }
    }
    // Everything until the server closes the connection (or the timeout).
    std::string receiveAll() {
        std::string all;
        char buffer[4096];
        for (int n; (n = recv(socket_, buffer, sizeof buffer, 0)) > 0;) all.append(buffer, static_cast<std::size_t>(n));
        return all;
    }
    void close() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

private:
    SOCKET socket_;
    bool connected_ = false;
};

struct Recorded {
    std::string event;
    std::string client;
    std::string data;
};

class ConnectionServerTest : public ::testing::Test {
protected:
    WinsockSession winsock;
    std::unique_ptr<ConnectionServer> server = std::make_unique<ConnectionServer>(TestPort);
    std::vector<Recorded> events;
    std::function<void()> onData;  // extra work inside DataArrival

    void SetUp() override {
        ASSERT_TRUE(server->isListening());
        ConnectionServer::Events handlers;
        handlers.dataArrival = [this] {
            events.push_back({"data", server->getCurrentClient(), server->getReceivedData()});
            if (onData) onData();
        };
        handlers.clientEnter = [this] {
            events.push_back({"enter", server->getCurrentClient(), server->getReceivedData()});
        };
        handlers.clientLeave = [this] {
            events.push_back({"leave", server->getCurrentClient(), server->getReceivedData()});
        };
        server->setEvents(handlers);
    }

    // Runs the message loop until the condition holds or five seconds pass.
    bool pumpUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(1);
        }
        return true;
    }
    bool pumpUntilEvents(std::size_t count) {
        return pumpUntil([&] { return events.size() >= count; });
    }
    void pumpFor(int milliseconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        pumpUntil([&] { return std::chrono::steady_clock::now() > deadline; });
    }
    std::size_t count(const std::string& event) const {
        std::size_t n = 0;
        for (const auto& e : events) n += e.event == event;
        return n;
    }
};

TEST_F(ConnectionServerTest, TwoPiecesOfOneRequestAreTwoArrivalsFromOneAddress) {
    Client client(TestPort);
    ASSERT_TRUE(client.connected());
    ASSERT_TRUE(pumpUntilEvents(1));
    EXPECT_EQ(events[0].event, "enter");
    EXPECT_EQ(events[0].client, client.localAddress());
    EXPECT_EQ(events[0].data, "");  // no received data outside DataArrival

    client.send("POST / HTTP/1.1\r\n");
    ASSERT_TRUE(pumpUntilEvents(2));
    client.send("run_s=x");
    ASSERT_TRUE(pumpUntilEvents(3));
    EXPECT_EQ(events[1].event, "data");
    EXPECT_EQ(events[1].data, "POST / HTTP/1.1\r\n");
    EXPECT_EQ(events[2].data, "run_s=x");
    EXPECT_EQ(events[1].client, client.localAddress());
    EXPECT_EQ(events[2].client, client.localAddress());

    EXPECT_EQ(server->getReceivedData(), "");  // outside any event
    EXPECT_EQ(server->getCurrentClient(), "");
}

TEST_F(ConnectionServerTest, PeerCloseRaisesClientLeaveOnceAndSendsToItFail) {
    Client client(TestPort);
    ASSERT_TRUE(pumpUntilEvents(1));
    const std::string address = client.localAddress();
    client.close();
    ASSERT_TRUE(pumpUntil([&] { return count("leave") == 1; }));
    EXPECT_EQ(events.back().client, address);
    EXPECT_FALSE(server->sendData(address, "too late"));
    pumpFor(200);
    EXPECT_EQ(count("leave"), 1u);
}

TEST_F(ConnectionServerTest, SendGoesOnlyToTheNamedConnectionOfTwoFromOneClient) {
    Client first(TestPort), second(TestPort);
    ASSERT_TRUE(pumpUntilEvents(2));
    ASSERT_NE(events[0].client, events[1].client);
    EXPECT_EQ(events[0].client, first.localAddress());  // acceptance order
    EXPECT_EQ(events[1].client, second.localAddress());

    EXPECT_TRUE(server->sendData(second.localAddress(), "for the second"));
    EXPECT_TRUE(server->sendData(second.localAddress(), ""));  // nothing to send is a success
    EXPECT_FALSE(server->sendData("", "to nobody"));
    EXPECT_FALSE(server->sendData("127.0.0.1:1", "to nobody"));
    server->disconnectClient(second.localAddress());
    server->disconnectClient(first.localAddress());
    EXPECT_EQ(second.receiveAll(), "for the second");
    EXPECT_EQ(first.receiveAll(), "");
}

TEST_F(ConnectionServerTest, DisconnectInsideDataArrivalRaisesANestedLeaveAndEmptiesTheCurrentClient) {
    std::string clientAfterDisconnect = "unset", dataAfterDisconnect;
    onData = [&] {
        server->sendData(server->getCurrentClient(), "answer");
        server->disconnectClient(server->getCurrentClient());
        clientAfterDisconnect = server->getCurrentClient();
        dataAfterDisconnect = server->getReceivedData();
    };
    Client client(TestPort);
    client.send("GET / HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(pumpUntil([&] { return count("leave") == 1; }));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].event, "leave");
    EXPECT_EQ(events[2].client, client.localAddress());
    EXPECT_EQ(events[2].data, "GET / HTTP/1.1\r\n\r\n");  // the outer event's bytes
    EXPECT_EQ(clientAfterDisconnect, "");
    EXPECT_EQ(dataAfterDisconnect, "GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(client.receiveAll(), "answer");  // handed over before the close: still delivered
    pumpFor(200);
    EXPECT_EQ(count("leave"), 1u);  // the peer's own close finds nothing more
}

TEST_F(ConnectionServerTest, EventsNeverNestWhenAHandlerRunsAMessageLoop) {
    // A handler that shows a message box runs the thread's message loop; other
    // connections' notifications must wait until it returns.
    Client first(TestPort), second(TestPort);
    ASSERT_TRUE(pumpUntilEvents(2));
    int depth = 0, deepest = 0;
    onData = [&] {
        deepest = std::max(deepest, ++depth);
        if (events.back().data == "first") {
            second.send("second");
            pumpFor(300);
        }
        --depth;
    };
    first.send("first");
    ASSERT_TRUE(pumpUntil([&] { return count("data") == 2; }));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(events[2].data, "first");
    EXPECT_EQ(events[3].data, "second");
    EXPECT_EQ(events[3].client, second.localAddress());
}

TEST_F(ConnectionServerTest, OneArrivalCarriesAtMostItsCapAndNoByteIsLost) {
    Client client(TestPort);
    ASSERT_TRUE(pumpUntilEvents(1));
    std::string flood(200 * 1024, '\0');
    for (std::size_t i = 0; i < flood.size(); ++i) flood[i] = static_cast<char>('a' + i % 26);
    client.send(flood);
    std::string received;
    ASSERT_TRUE(pumpUntil([&] {
        received.clear();
        for (const auto& e : events)
            if (e.event == "data") received += e.data;
        return received.size() >= flood.size();
    }));
    for (const auto& e : events) EXPECT_LE(e.data.size(), ConnectionServer::MaxArrivalBytes);
    EXPECT_GE(count("data"), 4u);
    EXPECT_EQ(received, flood);
}

TEST_F(ConnectionServerTest, TeardownClosesConnectionsWithoutEvents) {
    Client client(TestPort);
    ASSERT_TRUE(pumpUntilEvents(1));
    server.reset();
    EXPECT_EQ(count("leave"), 0u);
    EXPECT_EQ(client.receiveAll(), "");  // closed from the server's side
}

TEST_F(ConnectionServerTest, PortChangeListensAnewAndKeepsOpenConnections) {
    Client before(TestPort);
    ASSERT_TRUE(pumpUntilEvents(1));
    server->setPort(TestPort + 1);
    EXPECT_EQ(server->port(), TestPort + 1);
    Client after(TestPort + 1);
    ASSERT_TRUE(after.connected());
    ASSERT_TRUE(pumpUntilEvents(2));
    EXPECT_FALSE(Client(TestPort).connected());
    EXPECT_TRUE(server->sendData(before.localAddress(), "still here"));
    server->disconnectClient(before.localAddress());
    EXPECT_EQ(before.receiveAll(), "still here");
}

TEST(ConnectionServerPort, DefaultsTo19730AndStoresValuesBelowOneAsOne) {
    WinsockSession winsock;
    ConnectionServer byDefault;
    EXPECT_EQ(byDefault.port(), 19730);
    ConnectionServer server(TestPort + 5);
    server.setPort(0);
    EXPECT_EQ(server.port(), 1);
    server.setPort(-80);
    EXPECT_EQ(server.port(), 1);
}

TEST(ConnectionServerPort, APortHeldByAnotherProgramLeavesTheServerSilent) {
    WinsockSession winsock;
    ConnectionServer holder(TestPort + 7);
    ASSERT_TRUE(holder.isListening());
    ConnectionServer second(TestPort + 7);
    EXPECT_FALSE(second.isListening());
    EXPECT_FALSE(second.sendData("127.0.0.1:1", "x"));
}

}  // namespace

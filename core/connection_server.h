// The TCP server of the main window: listens for browsers, and turns network
// activity into DataArrival, ClientEnter and ClientLeave, raised on the window
// thread one at a time. It knows nothing of HTTP: handlers get the raw bytes
// and the sender's address, and whatever they send goes out unchanged.
#pragma once

#include <deque>
#include <functional>
#include <string_view>

#include "client_table.h"
#include "connection_operations.h"
#include "text.h"

struct HWND__;

class ConnectionServer {
public:
    struct Events {
        std::function<void()> dataArrival;
        std::function<void()> clientEnter;
        std::function<void()> clientLeave;
    };

    static constexpr int DefaultPort = 19730;
    // Most bytes one DataArrival carries; the rest follows in later events.
    static constexpr std::size_t MaxArrivalBytes = 64 * 1024;

    // Starts the sockets layer and listens on the port. Must be created on the
    // thread whose message loop is to deliver the events.
    explicit ConnectionServer(int port = DefaultPort);
    // Closes every connection without ClientLeave, then the listener.
    ~ConnectionServer();
    ConnectionServer(const ConnectionServer&) = delete;
    ConnectionServer& operator=(const ConnectionServer&) = delete;

    void setEvents(Events events) { events_ = std::move(events); }

    ByteData getReceivedData() const { return receivedData_; }
    Text getCurrentClient() const { return currentClient_; }
    // True when every byte was handed to the system. Without a wait (negative)
    // it never blocks: a full send buffer fails the send.
    bool sendData(std::string_view client, std::string_view data, int waitSeconds = -1);
    // Closes the connection and raises ClientLeave for it before returning.
    void disconnectClient(std::string_view client);

    int port() const { return port_; }
    // Values below 1 are stored as 1; a new value re-listens, open connections stay.
    void setPort(int port);
    bool isListening() const;
    // Why the last start of listening failed (a Windows Sockets error code), 0 when listening.
    int listenError() const { return listenError_; }

    // The operations a request handler uses, bound to this server.
    ConnectionOperations operations();

    // For the window procedure of the notification window.
    void onSocketNotification(std::uintptr_t socket, int event);
    void onDrainDeferred();

private:
    enum class Event { DataArrival, ClientEnter, ClientLeave };

    void startListening();
    void closeListener();
    void acceptConnection();
    void readArrival(std::uintptr_t socket);
    void peerClosed(std::uintptr_t socket);
    void raise(Event event, const Text& client);

    Events events_;
    int port_;
    bool socketsStarted_ = false;
    int listenError_ = 0;
    std::uintptr_t listener_;
    HWND__* notificationWindow_ = nullptr;
    ClientTable clients_;
    ByteData receivedData_;
    Text currentClient_;
    // Notifications that arrived while a handler ran (say, inside a message box's
    // own loop) wait here, so that events never nest except ClientLeave inside
    // disconnectClient.
    int raising_ = 0;
    struct Notification {
        std::uintptr_t socket;
        int event;
    };
    std::deque<Notification> deferred_;
};

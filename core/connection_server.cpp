#include "connection_server.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <optional>

namespace {

constexpr UINT SocketMessage = WM_APP + 1;   // WSAAsyncSelect notifications
constexpr UINT DrainMessage = WM_APP + 2;    // run notifications deferred during an event
constexpr wchar_t NotificationClass[] = L"HotkeyRelayConnectionServer";
constexpr std::size_t LaterReadSize = 1024;

LRESULT CALLBACK notificationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* server = reinterpret_cast<ConnectionServer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (server && message == SocketMessage) {
        server->onSocketNotification(wParam, WSAGETSELECTEVENT(lParam));
        return 0;
    }
    if (server && message == DrainMessage) {
        server->onDrainDeferred();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of the creating thread brings the notifications to
// that thread's message loop.
HWND createNotificationWindow(ConnectionServer* server) {
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = notificationProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = NotificationClass;
        return RegisterClassW(&windowClass);
    }();
    (void)registered;
    HWND window = CreateWindowExW(0, NotificationClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(server));
    return window;
}

std::optional<Text> peerAddress(SOCKET socket) {
    sockaddr_in peer{};
    int length = sizeof peer;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return std::nullopt;
    const char* dotted = inet_ntoa(peer.sin_addr);
    if (!dotted) return std::nullopt;
    return Text(dotted) + ":" + std::to_string(ntohs(peer.sin_port));
}

}  // namespace

ConnectionServer::ConnectionServer(int port) : port_(std::max(port, 1)), listener_(INVALID_SOCKET) {
    notificationWindow_ = createNotificationWindow(this);
    WSADATA data;
    const int startError = notificationWindow_ ? WSAStartup(MAKEWORD(1, 1), &data) : WSASYSNOTREADY;
    socketsStarted_ = startError == 0;
    listenError_ = startError;
    startListening();
}

ConnectionServer::~ConnectionServer() {
    for (const auto& client : clients_.takeAll()) {
        WSAAsyncSelect(client.socket, notificationWindow_, 0, 0);
        closesocket(client.socket);
    }
    closeListener();
    if (socketsStarted_) WSACleanup();
    if (notificationWindow_) {
        SetWindowLongPtrW(notificationWindow_, GWLP_USERDATA, 0);
        DestroyWindow(notificationWindow_);
    }
}

bool ConnectionServer::isListening() const { return listener_ != INVALID_SOCKET; }

void ConnectionServer::setPort(int port) {
    port = std::max(port, 1);
    if (port == port_) return;
    port_ = port;
    startListening();
}

void ConnectionServer::startListening() {
    if (!socketsStarted_) return;
    closeListener();
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        listenError_ = WSAGetLastError();
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<u_short>(port_));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, SOMAXCONN) != 0 ||
        WSAAsyncSelect(listener, notificationWindow_, SocketMessage, FD_ACCEPT) != 0) {
        listenError_ = WSAGetLastError();
        closesocket(listener);
        return;
    }
    listener_ = listener;
    listenError_ = 0;
}

void ConnectionServer::closeListener() {
    if (listener_ == INVALID_SOCKET) return;
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
}

void ConnectionServer::onSocketNotification(std::uintptr_t socket, int event) {
    // Keep arrival order: anything that comes while an event runs (say, inside a
    // message box's own loop), or before earlier deferred ones were handled,
    // waits its turn, so that events never nest.
    deferred_.push_back({socket, event});
    if (raising_ == 0) onDrainDeferred();
}

void ConnectionServer::onDrainDeferred() {
    while (raising_ == 0 && !deferred_.empty()) {
        const Notification next = deferred_.front();
        deferred_.pop_front();
        if (listener_ == INVALID_SOCKET) continue;
        switch (next.event) {
            case FD_ACCEPT: acceptConnection(); break;
            case FD_READ: readArrival(next.socket); break;
            case FD_CLOSE: peerClosed(next.socket); break;
        }
    }
}

void ConnectionServer::acceptConnection() {
    SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;
    std::optional<Text> address;
    if (WSAAsyncSelect(connection, notificationWindow_, SocketMessage, FD_READ | FD_CLOSE) != 0 ||
        !(address = peerAddress(connection))) {
        closesocket(connection);
        return;
    }
    clients_.add(connection, *address);
    raise(Event::ClientEnter, *address);
}

void ConnectionServer::readArrival(std::uintptr_t socket) {
    u_long waiting = 0;
    if (ioctlsocket(socket, FIONREAD, &waiting) != 0) return;

    // Read what is waiting, never more than one arrival's worth: a flood cannot
    // make one notification read without bound. What stays behind raises a new
    // read notification, since every successful recv re-arms it.
    ByteData bytes;
    std::size_t readSize = std::clamp<std::size_t>(waiting, 1, MaxArrivalBytes);
    while (bytes.size() < MaxArrivalBytes) {
        const std::size_t before = bytes.size();
        const std::size_t chunk = std::min(readSize, MaxArrivalBytes - before);
        bytes.resize(before + chunk);
        const int got = recv(socket, bytes.data() + before, static_cast<int>(chunk), 0);
        bytes.resize(before + std::max(got, 0));
        if (got <= 0) break;
        readSize = LaterReadSize;
    }
    if (bytes.empty()) return;

    const ClientTable::Client* client = clients_.findBySocket(socket);
    if (!client) return;
    const Text address = client->address;
    receivedData_ = std::move(bytes);
    raise(Event::DataArrival, address);
}

void ConnectionServer::peerClosed(std::uintptr_t socket) {
    if (!clients_.findBySocket(socket)) return;
    // A close notification still queued for a socket we closed ourselves can name
    // a new connection that got the same handle; that one is still open.
    char probe;
    if (recv(socket, &probe, 1, MSG_PEEK) == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return;
    const auto client = clients_.remove(socket);
    raise(Event::ClientLeave, client->address);
    closesocket(socket);
}

bool ConnectionServer::sendData(std::string_view client, std::string_view data, int waitSeconds) {
    const ClientTable::Client* target = clients_.findByAddress(client);
    if (!target) return false;
    if (data.empty()) return true;
    const SOCKET socket = target->socket;
    if (waitSeconds >= 0) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(socket, &writable);
        timeval timeout{waitSeconds, 0};
        if (select(0, nullptr, &writable, nullptr, &timeout) != 1) return false;
    }
    while (!data.empty()) {
        const int sent = send(socket, data.data(), static_cast<int>(std::min<std::size_t>(data.size(), INT_MAX)), 0);
        if (sent <= 0) return false;  // a full send buffer too: never wait here
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void ConnectionServer::disconnectClient(std::string_view client) {
    const ClientTable::Client* target = clients_.findByAddress(client);
    if (!target) return;
    const SOCKET socket = target->socket;
    WSAAsyncSelect(socket, notificationWindow_, 0, 0);
    // The default close: what sendData handed over is still delivered.
    closesocket(socket);
    const auto removed = clients_.remove(socket);
    raise(Event::ClientLeave, removed->address);
}

void ConnectionServer::raise(Event event, const Text& client) {
    const std::function<void()>* handler = event == Event::DataArrival   ? &events_.dataArrival
                                           : event == Event::ClientEnter ? &events_.clientEnter
                                                                         : &events_.clientLeave;
    ++raising_;
    currentClient_ = client;
    if (*handler) (*handler)();
    currentClient_.clear();
    if (event == Event::DataArrival) receivedData_.clear();
    --raising_;
    if (raising_ == 0 && !deferred_.empty()) PostMessageW(notificationWindow_, DrainMessage, 0, 0);
}

ConnectionOperations ConnectionServer::operations() {
    return {
        [this] { return getReceivedData(); },
        [this] { return getCurrentClient(); },
        [this](const Text& client, std::string_view data) { return sendData(client, data); },
        [this](const Text& client) { disconnectClient(client); },
    };
}

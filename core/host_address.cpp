#include "host_address.h"

#include <winsock2.h>
#include <windows.h>

Text localHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) return {};
    name[sizeof name - 1] = '\0';
    return name;
}

Text hostIPv4Address(std::string_view hostName) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return {};
    // Only the first 100 bytes of the name count, handed over with their own
    // terminating zero so that a longer name is never read past.
    const Text name(hostName.substr(0, 100));
    Text address;
    if (const hostent* host = gethostbyname(name.c_str());
        host && host->h_addrtype == AF_INET && host->h_addr_list && host->h_addr_list[0]) {
        in_addr first;
        memcpy(&first, host->h_addr_list[0], sizeof first);
        if (const char* dotted = inet_ntoa(first)) address = dotted;
    }
    WSACleanup();
    return address;
}

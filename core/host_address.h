// The PC's name and the address at which browsers on the network reach it.
#pragma once

#include "text.h"

// Empty when the name cannot be read. Windows Sockets must be started.
Text localHostName();
// The first IPv4 address the resolver gives for the name, dotted; empty on failure.
Text hostIPv4Address(std::string_view hostName);

#pragma once
// The state of the computer's Internet connection.

namespace win32 {

enum : long { INTERNET_CONNECTION_MODEM = 1, INTERNET_CONNECTION_LAN = 2 };

// Non-zero when the computer has a route to the Internet (an IPv4 or IPv6 default route over an interface
// that is up); the flags tell how: a dial-up (point-to-point) link counts as a modem, anything else as a LAN.
long InternetGetConnectedState(long& flags, long reserved);

namespace testing {
// Reads the IPv4 routing table from `path` and the IPv6 one from `ipv6Path` (none when it is null) instead
// of the system's; an empty `path` goes back to the system's two tables.
void SetRouteTable(const char* path, const char* ipv6Path = nullptr);
}  // namespace testing

}  // namespace win32

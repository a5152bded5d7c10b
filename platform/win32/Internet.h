#pragma once
// The state of the computer's Internet connection.

namespace win32 {

enum : long { INTERNET_CONNECTION_MODEM = 1, INTERNET_CONNECTION_LAN = 2 };

// Non-zero when the computer has a route to the Internet (a default route over an interface that is up);
// the flags tell how: a dial-up (point-to-point) link counts as a modem, anything else as a LAN.
long InternetGetConnectedState(long& flags, long reserved);

namespace testing {
// Reads the routing table from this file instead of the system's (an empty path goes back to the system's).
void SetRouteTable(const char* path);
}  // namespace testing

}  // namespace win32

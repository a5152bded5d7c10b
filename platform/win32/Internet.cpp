#include "platform/win32/Internet.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace win32 {
namespace {

constexpr const char* kRoutes = "/proc/net/route";
constexpr const char* kRoutes6 = "/proc/net/ipv6_route";

struct RouteTables {
  std::string ipv4 = kRoutes;
  std::string ipv6 = kRoutes6;
};

RouteTables& Tables() {
  static RouteTables tables;
  return tables;
}

bool InterfaceUp(const std::string& name) {
  std::ifstream state("/sys/class/net/" + name + "/operstate");
  std::string s;
  // interfaces without a state file (tests, some virtual links) count as up when they carry a route
  if (!(state >> s)) return true;
  return s == "up" || s == "unknown";
}

// How a default route over this interface connects: a dial-up (point-to-point) link is a modem, anything
// else a LAN; no flag for the loopback interface or one that is down.
long ConnectionOf(const std::string& iface) {
  if (iface == "lo" || !InterfaceUp(iface)) return 0;
  return iface.rfind("ppp", 0) == 0 || iface.rfind("wwan", 0) == 0 ? INTERNET_CONNECTION_MODEM
                                                                   : INTERNET_CONNECTION_LAN;
}

constexpr unsigned long kRouteUp = 0x1;
constexpr unsigned long kRouteReject = 0x200;

// IPv4: one heading line, then interface, destination, gateway, flags, ... mask, all in hexadecimal.
long FlagsOfIpv4(const std::string& path) {
  long flags = 0;
  std::ifstream routes(path);
  std::string line;
  std::getline(routes, line);  // the heading
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string iface, destination, gateway, routeFlags, refCnt, use, metric, mask;
    if (!(fields >> iface >> destination >> gateway >> routeFlags >> refCnt >> use >> metric >> mask)) continue;
    const unsigned long f = std::strtoul(routeFlags.c_str(), nullptr, 16);
    if (destination != "00000000" || mask != "00000000" || !(f & kRouteUp) || (f & kRouteReject)) continue;
    flags |= ConnectionOf(iface);
  }
  return flags;
}

// IPv6: no heading; destination, its prefix length, source, its prefix length, next hop, metric, reference
// count, use, flags and interface. A default route has the destination ::/0.
long FlagsOfIpv6(const std::string& path) {
  long flags = 0;
  std::ifstream routes(path);
  std::string line;
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string destination, prefix, source, sourcePrefix, nextHop, metric, refCnt, use, routeFlags, iface;
    if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >> refCnt >> use >>
          routeFlags >> iface))
      continue;
    const unsigned long f = std::strtoul(routeFlags.c_str(), nullptr, 16);
    if (destination != std::string(32, '0') || prefix != "00" || !(f & kRouteUp) || (f & kRouteReject)) continue;
    flags |= ConnectionOf(iface);
  }
  return flags;
}

}  // namespace

long InternetGetConnectedState(long& flags, long /*reserved*/) {
  const RouteTables& tables = Tables();
  flags = FlagsOfIpv4(tables.ipv4);
  if (!tables.ipv6.empty()) flags |= FlagsOfIpv6(tables.ipv6);
  return flags != 0 ? 1 : 0;
}

void testing::SetRouteTable(const char* path, const char* ipv6Path) {
  if (!path || !*path) {
    Tables() = RouteTables{};
    return;
  }
  Tables().ipv4 = path;
  Tables().ipv6 = ipv6Path ? ipv6Path : "";
}

}  // namespace win32

#include "platform/win32/Internet.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace win32 {
namespace {

std::string& RouteTable() {
  static std::string path = "/proc/net/route";
  return path;
}

bool InterfaceUp(const std::string& name) {
  std::ifstream state("/sys/class/net/" + name + "/operstate");
  std::string s;
  // interfaces without a state file (tests, some virtual links) count as up when they carry a route
  if (!(state >> s)) return true;
  return s == "up" || s == "unknown";
}

}  // namespace

long InternetGetConnectedState(long& flags, long /*reserved*/) {
  flags = 0;
  std::ifstream routes(RouteTable());
  std::string line;
  std::getline(routes, line);  // the heading
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string iface, destination, gateway, routeFlags, refCnt, use, metric, mask;
    if (!(fields >> iface >> destination >> gateway >> routeFlags >> refCnt >> use >> metric >> mask)) continue;
    const bool routeUp = (std::strtoul(routeFlags.c_str(), nullptr, 16) & 0x1) != 0;
    if (destination != "00000000" || mask != "00000000" || !routeUp || iface == "lo") continue;
    if (!InterfaceUp(iface)) continue;
    flags |= iface.rfind("ppp", 0) == 0 || iface.rfind("wwan", 0) == 0 ? INTERNET_CONNECTION_MODEM
                                                                        : INTERNET_CONNECTION_LAN;
  }
  return flags != 0 ? 1 : 0;
}

void testing::SetRouteTable(const char* path) { RouteTable() = path && *path ? path : "/proc/net/route"; }

}  // namespace win32

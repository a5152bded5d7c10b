#include "library/Servers.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <chrono>
#include <map>
#include <mutex>

#include "platform/runtime/Registry.h"

namespace Servers {
namespace {

const std::map<std::string, std::string>& Defaults() {
  static const std::map<std::string, std::string> defaults = {
      {"SpeechComponents", "speech-components.example"},
      {"MakerHome", "www.vyk.example"},
      {"MakerDownload", "download.vyk.example"},
      {"ChartSite", "charts.example"},
      {"Provider1Quotes", "quotes.provider1.example"},
      {"Provider1News", "biz.provider1.example"},
      {"Provider1Finance", "finance.provider1.example"},
      {"Provider2Quotes", "quotes.provider2.example"},
      {"FundamentalsSite", "fundamentals.example"},
      {"SignalSite", "signals.example"},
      {"MarketNewsSite", "market-news.example"},
      {"SmsListSite", "sms-list.example"},
  };
  return defaults;
}

// Letters, digits, dots and hyphens, then an optional port: nothing that could change the address's meaning.
bool IsHost(const std::string& h) {
  if (h.empty() || h.size() > 253) return false;
  const size_t colon = h.find(':');
  const std::string host = h.substr(0, colon);
  if (host.empty()) return false;
  for (char c : host)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-')) return false;
  if (colon == std::string::npos) return true;
  const std::string port = h.substr(colon + 1);
  if (port.empty() || port.size() > 5) return false;
  for (char c : port)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return std::stoi(port) > 0 && std::stoi(port) < 65536;
}

}  // namespace

std::string Host(const std::string& name) {
  // An update cycle asks for its provider's host for every row: a host read is used again for a second,
  // while the store is the same file and this process has not changed it or read it anew meanwhile.
  using Clock = std::chrono::steady_clock;
  struct Known {
    std::string host, store;
    uint64_t changes;
    Clock::time_point read;
  };
  static std::mutex mutex;
  static std::map<std::string, Known> known;
  const std::string store = rt::registry::StorePath();
  const uint64_t changes = rt::registry::Changes();
  const Clock::time_point now = Clock::now();
  {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = known.find(name);
    if (it != known.end() && it->second.store == store && it->second.changes == changes &&
        now - it->second.read < std::chrono::seconds(1))
      return it->second.host;
  }
  std::string host;
  try {
    const auto v = rt::registry::Read("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers", name);
    if (v && v->type == rt::RegType::String && IsHost(v->text)) host = v->text;
  } catch (...) {
    // an unreadable store leaves the default
  }
  if (host.empty()) {
    auto it = Defaults().find(name);
    host = it == Defaults().end() ? std::string() : it->second;
  }
  std::lock_guard<std::mutex> lock(mutex);
  // what the read itself loaded counts: the next question finds the same number
  known[name] = Known{host, store, rt::registry::Changes(), now};
  return host;
}

std::string Url(const std::string& name, const std::string& path) { return "http://" + Host(name) + path; }

std::string Encoded(const std::string& text, bool (*keep)(unsigned char byte), bool keepEscapes) {
  const auto hex = [&](size_t i) { return i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); };
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (keep(byte) || (keepEscapes && byte == '%' && hex(i + 1) && hex(i + 2))) {
      out += text[i];
      continue;
    }
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
    out += escaped;
  }
  return out;
}

std::string AddressPart(const std::string& text) {
  return Encoded(text, [](unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~';
  });
}

}  // namespace Servers

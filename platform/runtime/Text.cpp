#include "platform/runtime/Text.h"

#include <algorithm>

namespace rt::text {

std::size_t CharBytes(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = byte(at);
  if (c < 0x80) return 1;
  std::size_t n;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) low = 0xA0;   // no overlong form
    if (c == 0xED) high = 0x9F;  // no surrogate
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) low = 0x90;   // no overlong form
    if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 1;
  }
  if (at + n > s.size() || byte(at + 1) < low || byte(at + 1) > high) return 1;
  for (std::size_t k = 2; k < n; ++k)
    if ((byte(at + k) & 0xC0) != 0x80) return 1;
  return n;
}

std::size_t ByteOfChar(std::string_view s, std::size_t chars, std::size_t from) {
  std::size_t at = from;
  for (; chars > 0 && at < s.size(); --chars) at += CharBytes(s, at);
  return std::min(at, s.size());
}

std::size_t CharCount(std::string_view s, std::size_t from, std::size_t to) {
  to = std::min(to, s.size());
  std::size_t count = 0;
  for (std::size_t at = from; at < to; at += CharBytes(s, at)) ++count;
  return count;
}

bool IsUtf8(std::string_view s) {
  for (std::size_t at = 0; at < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[at]);
    if (c < 0x80) {
      ++at;
      continue;
    }
    const std::size_t n = CharBytes(s, at);
    if (n == 1) return false;
    at += n;
  }
  return true;
}

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves unassigned stand for the control characters of
// the same number, as in Latin-1, which is the rest of the code page.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString ToQt(std::string_view s) {
  if (IsUtf8(s)) return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
  QString out;
  out.reserve(static_cast<qsizetype>(s.size()));
  for (std::size_t at = 0; at < s.size();) {
    const std::size_t n = CharBytes(s, at);
    const unsigned char c = static_cast<unsigned char>(s[at]);
    if (n > 1 || c < 0x80)
      out += QString::fromUtf8(s.data() + at, static_cast<qsizetype>(n));
    else
      out += QChar(c < 0xA0 ? kWindows1252[c - 0x80] : char16_t{c});
    at += n;
  }
  return out;
}

long CharsBefore(const QString& s, qsizetype units) {
  units = std::clamp<qsizetype>(units, 0, s.size());
  long chars = 0;
  for (qsizetype i = 0; i < units; ++i, ++chars)
    if (s.at(i).isHighSurrogate() && i + 1 < units && s.at(i + 1).isLowSurrogate()) ++i;
  return chars;
}

qsizetype UnitsBefore(const QString& s, long chars) {
  qsizetype i = 0;
  for (; chars > 0 && i < s.size(); --chars, ++i)
    if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ++i;
  return i;
}

}  // namespace rt::text

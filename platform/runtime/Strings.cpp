#include "platform/runtime/Strings.h"

#include <QString>

#include "platform/runtime/Error.h"
#include "platform/runtime/Text.h"

namespace rt {

std::string LTrim(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string UCase(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUpper().toStdString();
}

std::string LCase(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toLower().toStdString();
}

std::string Left(std::string_view s, long n) {
  if (n < 0) Raise(errInvalidCall);
  return std::string(s.substr(0, text::ByteOfChar(s, static_cast<size_t>(n))));
}

std::string Right(std::string_view s, long n) {
  if (n < 0) Raise(errInvalidCall);
  const size_t count = text::CharCount(s);
  if (static_cast<size_t>(n) >= count) return std::string(s);
  return std::string(s.substr(text::ByteOfChar(s, count - static_cast<size_t>(n))));
}

std::string Mid(std::string_view s, long start, long length) {
  if (start < 1 || length < -1) Raise(errInvalidCall);
  const size_t b = text::ByteOfChar(s, static_cast<size_t>(start - 1));
  if (length < 0) return std::string(s.substr(b));
  return std::string(s.substr(b, text::ByteOfChar(s, static_cast<size_t>(length), b) - b));
}

long Len(std::string_view s) { return static_cast<long>(text::CharCount(s)); }

long InStr(long start, std::string_view s, std::string_view find) {
  if (start < 1) Raise(errInvalidCall);
  // walks the text a character at a time from the start, so that a match is counted in characters and one
  // that begins inside a character (a stray byte of a damaged text) is passed over
  size_t at = text::ByteOfChar(s, static_cast<size_t>(start - 1));
  if (at >= s.size()) return 0;
  if (find.empty()) return start;
  long position = start;
  for (size_t p = s.find(find, at); p != std::string_view::npos; p = s.find(find, p + 1)) {
    while (at < p) {
      at += text::CharBytes(s, at);
      ++position;
    }
    if (at == p) return position;
  }
  return 0;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(s);
  std::string out;
  size_t pos = 0;
  for (size_t p; (p = s.find(find, pos)) != std::string_view::npos; pos = p + find.size()) {
    out.append(s.substr(pos, p - pos));
    out.append(with);
  }
  out.append(s.substr(pos));
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace rt

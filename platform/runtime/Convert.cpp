#include "platform/runtime/Convert.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <system_error>

#include "platform/runtime/Error.h"
#include "platform/runtime/Regional.h"
#include "platform/runtime/RegionalQt.h"
#include "platform/runtime/Strings.h"

namespace rt {
namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The fixed form of files and quote servers.
const std::string kFixedDecimal = ".";
const std::string kFixedGroup = ",";

// The length of the group separator at t[i], 0 when none stands there. Where the locale separates groups by
// a blank of some kind (French: a narrow no-break space), any of the blanks people type is taken.
size_t GroupSeparatorAt(const std::string& t, size_t i, const std::string& grp) {
  if (grp.empty()) return 0;
  if (t.compare(i, grp.size(), grp) == 0) return grp.size();
  static const std::string kBlanks[] = {" ", "\xC2\xA0", "\xE2\x80\xAF"};  // space, no-break, narrow no-break
  if (std::find(std::begin(kBlanks), std::end(kBlanks), grp) == std::end(kBlanks)) return 0;
  for (const std::string& b : kBlanks)
    if (t.compare(i, b.size(), b) == 0) return b.size();
  return 0;
}

// "&H1F" and "&O17": the run time's hexadecimal and octal literals.
bool ParseRadix(const std::string& t, double& out) {
  if (t.size() < 3 || t[0] != '&') return false;
  const int base = (t[1] == 'H' || t[1] == 'h') ? 16 : (t[1] == 'O' || t[1] == 'o') ? 8 : 0;
  if (!base) return false;
  long long v = 0;
  for (size_t i = 2; i < t.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
    const int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
    if (d >= base || v > 0xFFFFFFFFLL) return false;
    v = v * base + d;
  }
  // Four hex digits make an Integer, more a Long, as two's complement.
  if (v <= 0xFFFF && t.size() <= 6) out = static_cast<int16_t>(static_cast<uint16_t>(v));
  else out = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

double ToWhole(const Variant& v, double lo, double hi) {
  const double d = v.ToDouble();
  if (std::isnan(d)) Raise(errOverflow);
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(d);
  std::fesetround(saved);
  if (r < lo || r > hi) Raise(errOverflow);
  return r;
}

QDateTime ToQt(DateTime d) {
  double days = std::floor(d.serial);
  qint64 ms = std::llround((d.serial - days) * kSecondsPerDay * 1000.0);
  if (ms >= 86400000) {
    days += 1;
    ms -= 86400000;
  }
  return QDateTime(kEpoch.addDays(static_cast<qint64>(days)), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

DateTime FromQt(const QDate& date, const QTime& time) {
  const double days = date.isValid() ? static_cast<double>(kEpoch.daysTo(date)) : 0.0;
  const double frac = time.isValid() ? time.msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0) : 0.0;
  return {days + frac};
}

bool ParseDate(const std::string& text, DateTime& out) {
  const QString t = QString::fromStdString(Trim(text)).simplified();
  if (t.isEmpty()) return false;
  const QLocale& loc = detail::TimeLocale();
  const QStringList& dates = detail::DateReadFormats();
  const QStringList& times = detail::TimeReadFormats();
  for (const QString& df : dates) {
    const QDate d = loc.toDate(t, df);
    if (d.isValid()) {
      out = FromQt(d, QTime(0, 0));
      return true;
    }
    for (const QString& tf : times) {
      const QDateTime dt = loc.toDateTime(t, df + " " + tf);
      if (dt.isValid()) {
        out = FromQt(dt.date(), dt.time());
        return true;
      }
    }
  }
  for (const QString& tf : times) {
    const QTime tm = loc.toTime(t, tf);
    if (tm.isValid()) {
      out = FromQt(QDate(), tm);
      return true;
    }
  }
  return false;
}

}  // namespace

namespace detail {

bool ParseNumber(const std::string& text, double& out) {
  return ParseNumber(text, out, DecimalSeparator(), ThousandsSeparator());
}

bool ParseNumber(const std::string& text, double& out, const std::string& dec, const std::string& grp) {
  std::string t = text;
  size_t b = 0, e = t.size();
  while (b < e && IsBlank(t[b])) ++b;
  while (e > b && IsBlank(t[e - 1])) --e;
  t = t.substr(b, e - b);
  if (t.empty()) return false;
  if (t[0] == '&') return ParseRadix(t, out);

  // Rebuild the number in the form std::from_chars reads, checking its shape on the way.
  std::string c;
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') {
    if (t[i] == '-') c += '-';
    ++i;
  }
  bool digits = false, point = false;
  size_t wholeDigits = 0, zerosAfterPoint = 0;  // significant digits before the point, zeros right after it
  bool fractionStarted = false;
  while (i < t.size()) {
    if (std::isdigit(static_cast<unsigned char>(t[i]))) {
      if (!point && (wholeDigits > 0 || t[i] != '0')) ++wholeDigits;
      if (point && !fractionStarted) {
        if (t[i] == '0') ++zerosAfterPoint;
        else fractionStarted = true;
      }
      c += t[i++];
      digits = true;
    } else if (!point && t.compare(i, dec.size(), dec) == 0) {
      c += '.';
      i += dec.size();
      point = true;
    } else if (const size_t g = point || !digits ? 0 : GroupSeparatorAt(t, i, grp)) {
      i += g;  // thousands separators are dropped, wherever they stand in the whole part
    } else {
      break;
    }
  }
  if (!digits) return false;
  long exponent = 0;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    c += 'e';
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
      negative = t[i] == '-';
      c += t[i++];
    }
    bool expDigits = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
      if (exponent < 100000) exponent = exponent * 10 + (t[i] - '0');
      c += t[i++];
      expDigits = true;
    }
    if (!expDigits) return false;
    if (negative) exponent = -exponent;
  }
  if (i != t.size()) return false;

  double value = 0;
  const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
  if (end != c.data() + c.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Too large is no number; too small is zero, with its sign.
    const long magnitude = wholeDigits > 0 ? static_cast<long>(wholeDigits) + exponent
                                           : exponent - static_cast<long>(zerosAfterPoint);
    if (magnitude > 0) return false;
    out = c[0] == '-' ? -0.0 : 0.0;
    return true;
  }
  if (ec != std::errc() || std::isinf(value)) return false;
  out = value;
  return true;
}

std::string NumberText(double value, int significantDigits) {
  return NumberText(value, significantDigits, DecimalSeparator());
}

std::string NumberText(double value, int significantDigits, const std::string& decimalPoint) {
  if (value == 0) return "0";
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significantDigits);
  std::string s(buf, r.ptr);
  // Exponents are written "E", with a sign and at least two digits: "1E+20", "1.234568E+08".
  const size_t epos = s.find('e');
  std::string mant = epos == std::string::npos ? s : s.substr(0, epos);
  std::string exp = epos == std::string::npos ? "" : s.substr(epos + 1);
  if (!exp.empty()) {
    const char sign = exp[0];
    std::string digits = exp.substr(1);
    while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
    if (digits.size() < 2) digits.insert(0, 1, '0');
    exp = std::string("E") + sign + digits;
  }
  // A leading "0." of values below one stays; the run time writes "0.5" and "-0.5".
  const size_t dot = mant.find('.');
  if (dot != std::string::npos) mant.replace(dot, 1, decimalPoint);
  return mant + exp;
}

}  // namespace detail

double Variant::ToDouble() const {
  struct Visitor {
    double operator()(Empty) const { return 0; }
    double operator()(bool b) const { return b ? -1 : 0; }
    double operator()(int16_t i) const { return i; }
    double operator()(int32_t i) const { return i; }
    double operator()(float f) const { return f; }
    double operator()(double d) const { return d; }
    double operator()(DateTime d) const { return d.serial; }
    double operator()(const std::string& s) const {
      double d;
      if (detail::ParseNumber(s, d)) return d;
      if (EqualsNoCase(Trim(s), "True")) return -1;
      if (EqualsNoCase(Trim(s), "False")) return 0;
      Raise(errTypeMismatch);
    }
  };
  return std::visit(Visitor{}, v_);
}

std::string Variant::ToString() const {
  struct Visitor {
    std::string operator()(Empty) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(int16_t i) const { return std::to_string(i); }
    std::string operator()(int32_t i) const { return std::to_string(i); }
    std::string operator()(float f) const { return detail::NumberText(f, 7); }
    std::string operator()(double d) const { return detail::NumberText(d, 15); }
    std::string operator()(DateTime d) const { return FormatGeneralDate(d); }
    std::string operator()(const std::string& s) const { return s; }
  };
  return std::visit(Visitor{}, v_);
}

int16_t CInt(const Variant& v) { return static_cast<int16_t>(ToWhole(v, -32768.0, 32767.0)); }

int32_t CLng(const Variant& v) { return static_cast<int32_t>(ToWhole(v, -2147483648.0, 2147483647.0)); }

float CSng(const Variant& v) {
  const double d = v.ToDouble();
  if (std::fabs(d) > std::numeric_limits<float>::max()) Raise(errOverflow);
  return static_cast<float>(d);
}

double CDbl(const Variant& v) { return v.ToDouble(); }

bool IsNumeric(const Variant& v) {
  if (v.IsNumber() || v.IsBoolean() || v.IsEmpty()) return true;
  if (!v.IsString()) return false;
  double d;
  return detail::ParseNumber(v.AsString(), d);
}

std::string CStr(const Variant& v) { return v.ToString(); }

double CDblFixed(const std::string& text) {
  double d;
  if (!detail::ParseNumber(text, d, kFixedDecimal, kFixedGroup)) Raise(errTypeMismatch);
  return d;
}

std::string FixedNumberText(double value, int significantDigits) {
  return detail::NumberText(value, significantDigits, kFixedDecimal);
}

DateTime CDate(const Variant& v) {
  if (v.IsDate()) return v.AsDate();
  if (v.IsString()) {
    DateTime d;
    if (ParseDate(v.AsString(), d)) return d;
    Raise(errTypeMismatch);
  }
  return {v.ToDouble()};
}

bool IsDate(const Variant& v) {
  if (v.IsDate()) return true;
  DateTime d;
  return v.IsString() && ParseDate(v.AsString(), d);
}

std::string FormatGeneralDate(DateTime d) {
  const QDateTime q = ToQt(d);
  const QLocale& loc = detail::TimeLocale();
  const double days = std::floor(d.serial);
  const bool noTime = q.time() == QTime(0, 0);
  if (days == 0 && !noTime) return loc.toString(q.time(), detail::LongTimeFormat()).toStdString();
  if (noTime) return loc.toString(q.date(), detail::ShortDateFormat()).toStdString();
  return loc.toString(q, detail::ShortDateFormat() + " " + detail::LongTimeFormat()).toStdString();
}

std::string FormatDate(DateTime d, const std::string& qtStylePattern) {
  return detail::TimeLocale().toString(ToQt(d), QString::fromStdString(qtStylePattern)).toStdString();
}

DateTime DateSerial(int year, int month, int day) {
  // Months and days out of their range carry over, as the run time allows.
  QDate first(year, 1, 1);
  first = first.addMonths(month - 1);
  return FromQt(first.addDays(day - 1), QTime(0, 0));
}

DateTime TimeSerial(int hour, int minute, int second) {
  return {(hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay};
}

int Year(DateTime d) { return ToQt(d).date().year(); }
int Month(DateTime d) { return ToQt(d).date().month(); }
int Day(DateTime d) { return ToQt(d).date().day(); }
int Hour(DateTime d) { return ToQt(d).time().hour(); }
int Minute(DateTime d) { return ToQt(d).time().minute(); }
int Second(DateTime d) { return ToQt(d).time().second(); }

int Weekday(DateTime d) { return ToQt(d).date().dayOfWeek() % 7 + 1; }

long DateDiffHours(DateTime a, DateTime b) {
  // Whole hours since the epoch, counted on rounded seconds so that 10:00:00 is not 9:59:59.999.
  auto hours = [](DateTime d) { return std::floor(std::round(d.serial * kSecondsPerDay) / 3600.0); };
  return static_cast<long>(hours(b) - hours(a));
}

}  // namespace rt

#include "platform/runtime/Regional.h"

#include <cstdlib>
#include <optional>

#include "platform/runtime/RegionalQt.h"

namespace rt {
namespace {

struct RegionalState {
  std::optional<std::string> pinned;
  bool ready = false;
  QLocale numbers = QLocale::c();
  QLocale times = QLocale::c();
  QLocale language = QLocale::c();
  QStringList dateFormats, timeFormats;
  std::string decimalPoint = ".", groupSeparator = ",";  // of `numbers`, read for every number parsed
};

RegionalState& State() {
  static RegionalState s;
  return s;
}

// An empty variable counts as not set.
std::string EnvironmentLocaleName(const char* categoryVariable) {
  for (const char* var : {"LC_ALL", categoryVariable, "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

QLocale MakeLocale(const std::string& name) {
  // "de_DE.UTF-8@euro" -> "de_DE"
  std::string base = name.substr(0, name.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return QLocale::c();
  return QLocale(QString::fromStdString(base));
}

QLocale LocaleOf(const char* categoryVariable) {
  const RegionalState& s = State();
  return MakeLocale(s.pinned ? *s.pinned : EnvironmentLocaleName(categoryVariable));
}

// "dd" -> "d" and the like, so that one-digit days, months and hours are read too.
QString Relaxed(QString f) {
  f.replace("dd", "d").replace("MM", "M").replace("HH", "H").replace("hh", "h");
  return f;
}

QString ShortDateFormatOf(const QLocale& l) {
  QString f = l.language() == QLocale::C ? QString("yyyy-MM-dd") : l.dateFormat(QLocale::ShortFormat);
  if (!f.contains("yyyy")) f.replace("yy", "yyyy");
  return f;
}

QString LongTimeFormatOf(const QLocale& l) {
  QString f = l.language() == QLocale::C ? QString("HH:mm:ss") : l.timeFormat(QLocale::LongFormat);
  f.remove('t');
  return f.trimmed();
}

RegionalState& Prepared() {
  RegionalState& s = State();
  if (s.ready) return s;
  s.numbers = LocaleOf("LC_NUMERIC");
  s.times = LocaleOf("LC_TIME");
  s.language = LocaleOf("LC_MESSAGES");
  s.decimalPoint = s.numbers.decimalPoint().toStdString();
  s.groupSeparator = s.numbers.groupSeparator().toStdString();

  const QString date = ShortDateFormatOf(s.times);
  const QString time = LongTimeFormatOf(s.times);
  const bool twelveHour = time.contains("AP", Qt::CaseInsensitive);
  const QString shortTime = twelveHour ? QString("h:mm AP") : QString("H:mm");
  QStringList times{time, Relaxed(time), shortTime, "H:mm:ss", "H:mm"};
  times.removeDuplicates();
  QStringList dates{date, Relaxed(date), "yyyy-MM-dd", "yyyy-M-d"};
  dates.removeDuplicates();
  s.timeFormats = times;
  s.dateFormats = dates;
  s.ready = true;
  return s;
}

std::string NameOf(const QLocale& l) { return l.language() == QLocale::C ? std::string("C") : l.name().toStdString(); }

}  // namespace

namespace detail {

const QLocale& NumberLocale() { return Prepared().numbers; }
const QLocale& TimeLocale() { return Prepared().times; }
const QLocale& LanguageLocale() { return Prepared().language; }

QString ShortDateFormat() { return ShortDateFormatOf(TimeLocale()); }
QString LongTimeFormat() { return LongTimeFormatOf(TimeLocale()); }

const QStringList& DateReadFormats() { return Prepared().dateFormats; }
const QStringList& TimeReadFormats() { return Prepared().timeFormats; }

}  // namespace detail

std::string LocaleName(RegionalCategory category) {
  switch (category) {
    case RegionalCategory::Numbers: return NameOf(detail::NumberLocale());
    case RegionalCategory::DatesAndTimes: return NameOf(detail::TimeLocale());
    case RegionalCategory::Language: break;
  }
  return NameOf(detail::LanguageLocale());
}

const std::string& DecimalSeparator() { return Prepared().decimalPoint; }

const std::string& ThousandsSeparator() { return Prepared().groupSeparator; }

namespace testing {

void SetLocale(const std::string& name) {
  RegionalState& s = State();
  s.pinned = name.empty() ? std::nullopt : std::optional<std::string>(name);
  s.ready = false;
}

}  // namespace testing
}  // namespace rt

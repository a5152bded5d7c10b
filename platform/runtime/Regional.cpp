#include "platform/runtime/Regional.h"

#include <cstdlib>
#include <optional>

#include "platform/runtime/RegionalQt.h"

namespace rt {
namespace {

struct RegionalState {
  std::optional<std::string> pinned;
  QLocale locale = QLocale::c();
  bool ready = false;
  QStringList dateFormats, timeFormats;
};

RegionalState& State() {
  static RegionalState s;
  return s;
}

std::string EnvironmentLocaleName() {
  for (const char* var : {"LC_ALL", "LANG"}) {
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

// "dd" -> "d" and the like, so that one-digit days, months and hours are read too.
QString Relaxed(QString f) {
  f.replace("dd", "d").replace("MM", "M").replace("HH", "H").replace("hh", "h");
  return f;
}

void Prepare() {
  RegionalState& s = State();
  if (s.ready) return;
  s.locale = MakeLocale(s.pinned ? *s.pinned : EnvironmentLocaleName());
  s.ready = true;

  const QString date = detail::ShortDateFormat();
  const QString time = detail::LongTimeFormat();
  const bool twelveHour = time.contains("AP", Qt::CaseInsensitive);
  const QString shortTime = twelveHour ? QString("h:mm AP") : QString("H:mm");
  QStringList times{time, Relaxed(time), shortTime, "H:mm:ss", "H:mm"};
  times.removeDuplicates();
  QStringList dates{date, Relaxed(date), "yyyy-MM-dd", "yyyy-M-d"};
  dates.removeDuplicates();
  s.timeFormats = times;
  s.dateFormats = dates;
}

}  // namespace

namespace detail {

const QLocale& Locale() {
  Prepare();
  return State().locale;
}

QString ShortDateFormat() {
  const QLocale& l = State().locale;
  QString f = l.language() == QLocale::C ? QString("yyyy-MM-dd") : l.dateFormat(QLocale::ShortFormat);
  if (!f.contains("yyyy")) f.replace("yy", "yyyy");
  return f;
}

QString LongTimeFormat() {
  const QLocale& l = State().locale;
  QString f = l.language() == QLocale::C ? QString("HH:mm:ss") : l.timeFormat(QLocale::LongFormat);
  f.remove('t');
  return f.trimmed();
}

const QStringList& DateReadFormats() {
  Prepare();
  return State().dateFormats;
}

const QStringList& TimeReadFormats() {
  Prepare();
  return State().timeFormats;
}

}  // namespace detail

std::string LocaleName() {
  const QLocale& l = detail::Locale();
  return l.language() == QLocale::C ? std::string("C") : l.name().toStdString();
}

std::string DecimalSeparator() { return detail::Locale().decimalPoint().toStdString(); }

std::string ThousandsSeparator() { return detail::Locale().groupSeparator().toStdString(); }

namespace testing {

void SetLocale(const std::string& name) {
  RegionalState& s = State();
  s.pinned = name.empty() ? std::nullopt : std::optional<std::string>(name);
  s.ready = false;
}

}  // namespace testing
}  // namespace rt

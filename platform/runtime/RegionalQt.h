#pragma once
// For the layer's own sources only: the regional settings as QLocales, and the run time's date formats.

#include <QLocale>
#include <QString>
#include <QStringList>

namespace rt::detail {

// The locale of numbers (separators), of dates and times (formats, day and month names) and of the
// user's language and country.
const QLocale& NumberLocale();
const QLocale& TimeLocale();
const QLocale& LanguageLocale();
// The short date of the dates' locale with a four-digit year ("M/d/yyyy", "dd.MM.yyyy").
QString ShortDateFormat();
// Its long time, without a time zone ("h:mm:ss AP", "HH:mm:ss").
QString LongTimeFormat();
// Formats a date text may come in, tried in order when reading one.
const QStringList& DateReadFormats();
const QStringList& TimeReadFormats();

}  // namespace rt::detail

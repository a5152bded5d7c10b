#pragma once
// For the layer's own sources only: the regional settings as a QLocale, and the run time's date formats.

#include <QLocale>
#include <QString>
#include <QStringList>

namespace rt::detail {

const QLocale& Locale();
// The locale's short date with a four-digit year ("M/d/yyyy", "dd.MM.yyyy").
QString ShortDateFormat();
// The locale's long time, without a time zone ("h:mm:ss AP", "HH:mm:ss").
QString LongTimeFormat();
// Formats a date text may come in, tried in order when reading one.
const QStringList& DateReadFormats();
const QStringList& TimeReadFormats();

}  // namespace rt::detail

#include "platform/runtime/Convert.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/runtime/Error.h"
#include "platform/runtime/Regional.h"
#include "tests/support/Locales.h"
#include "tests/support/Sandbox.h"

using namespace rt;

class Conversions : public Sandbox {};

const std::string kNarrowNoBreakSpace = "\xE2\x80\xAF";

TEST_F(Conversions, IntegersRoundHalvesToEvenAndReportOverflowAndMismatch) {
  EXPECT_EQ(CInt("2.5"), 2);
  EXPECT_EQ(CInt("3.5"), 4);
  EXPECT_EQ(CInt("-2.5"), -2);
  EXPECT_EQ(CInt("-3.5"), -4);
  EXPECT_EQ(CInt(" 0042 "), 42);
  EXPECT_EQ(CInt("32767"), 32767);
  EXPECT_EQ(CInt("-32768"), -32768);
  EXPECT_EQ(CInt("32767.4"), 32767);
  EXPECT_EQ(ErrorOf([] { CInt("32767.5"); }), errOverflow);
  EXPECT_EQ(ErrorOf([] { CInt("40000"); }), errOverflow);
  EXPECT_EQ(ErrorOf([] { CInt("-32769"); }), errOverflow);
  EXPECT_EQ(ErrorOf([] { CInt("abc"); }), errTypeMismatch);
  EXPECT_EQ(ErrorOf([] { CInt(""); }), errTypeMismatch);
  EXPECT_EQ(ErrorOf([] { CInt("12ab"); }), errTypeMismatch);
  EXPECT_EQ(CInt("&HFFFF"), -1);
  EXPECT_EQ(CLng("2147483647"), 2147483647);
  EXPECT_EQ(CLng("1000000.5"), 1000000);
  EXPECT_EQ(ErrorOf([] { CLng("2147483648"); }), errOverflow);
  EXPECT_EQ(CLng(Variant(true)), -1);
}

TEST_F(Conversions, DecimalNumbersFollowTheLocale) {
  EXPECT_DOUBLE_EQ(CDbl("1,234.5"), 1234.5);
  EXPECT_TRUE(IsNumeric("1,234.5"));
  EXPECT_TRUE(IsNumeric(" -12.5e3 "));
  EXPECT_FALSE(IsNumeric("12.5.3"));
  EXPECT_FALSE(IsNumeric("abc"));
  EXPECT_FALSE(IsNumeric(""));
  EXPECT_FALSE(IsNumeric("-"));
  // too small a number is zero, too large none
  EXPECT_EQ(CDbl("-1e-400"), 0.0);
  EXPECT_EQ(CDbl("0.001e-321"), 0.0);
  EXPECT_FALSE(IsNumeric("1e400"));
  EXPECT_FALSE(IsNumeric("0.1e310"));
  rt::testing::SetLocale("de_DE");
  EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
  EXPECT_FLOAT_EQ(CSng("0,25"), 0.25f);
  EXPECT_EQ(CStr(Variant(1.5)), "1,5");
  EXPECT_EQ(CInt("2,5"), 2);
  EXPECT_FALSE(IsNumeric("1,2,3"));
  // French groups are set apart by a narrow no-break space; the blanks people type are taken for it too
  rt::testing::SetLocale("fr_FR");
  for (const std::string& blank : {kNarrowNoBreakSpace, std::string("\xC2\xA0"), std::string(" ")})
    EXPECT_DOUBLE_EQ(CDbl(" 1" + blank + "234,5 "), 1234.5) << blank;
  EXPECT_EQ(CStr(Variant(-1234.5)), "-1234,5");
  EXPECT_FALSE(IsNumeric("1.5"));
}

// QApplication sets the C library's locale from the environment, and a desktop's "formats" setting makes it
// another than the language's: numbers are read and written by the regional settings alone, and the fixed
// form of files and quote servers is the same under any of them.
TEST_F(Conversions, NumbersNeverFollowTheCLibrarysLocale) {
  struct Layer {
    const char* locale;
    std::string typed, written;
  };
  const Layer layers[] = {{"C", "1,234.5", "1234.5"},
                          {"en_US", "1,234.5", "1234.5"},
                          {"de_DE", "1.234,5", "1234,5"},
                          {"fr_FR", "1" + kNarrowNoBreakSpace + "234,5", "1234,5"}};
  int tried = 0;
  for (const char* library : {"de_DE.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8", "C.UTF-8"}) {
    CLibraryLocale c({library});
    if (c.Name().empty()) continue;
    ++tried;
    for (const Layer& l : layers) {
      rt::testing::SetLocale(l.locale);
      const std::string where = std::string(l.locale) + ", C library " + library;
      EXPECT_DOUBLE_EQ(CDbl(l.typed), 1234.5) << where;
      EXPECT_FLOAT_EQ(CSng(l.written), 1234.5f) << where;
      EXPECT_EQ(CInt(l.written), 1234) << where;
      EXPECT_EQ(CStr(Variant(1234.5)), l.written) << where;
      EXPECT_EQ(CStr(Variant(1234.5f)), l.written) << where;
      EXPECT_EQ(CStr(Variant(-2.5e-7)), "-2" + DecimalSeparator() + "5E-07") << where;
      EXPECT_DOUBLE_EQ(CDblFixed(" 1,234.5 "), 1234.5) << where;
      EXPECT_DOUBLE_EQ(CDblFixed("-0.25"), -0.25) << where;
      EXPECT_EQ(ErrorOf([] { CDblFixed("1.234,5"); }), errTypeMismatch) << where;
      EXPECT_EQ(FixedNumberText(1234.5, 15), "1234.5") << where;
      EXPECT_EQ(FixedNumberText(123456789.0, 7), "1.234568E+08") << where;
    }
  }
  EXPECT_GT(tried, 0);
}

// Each kind of value takes its locale as POSIX says: LC_ALL, else its own variable, else LANG.
TEST_F(Conversions, EachKindOfValueFindsItsLocaleInThePosixOrder) {
  const DateTime moment{DateSerial(2026, 12, 7).serial + TimeSerial(16, 30, 5).serial};
  EnvironmentChange env;
  env.Unset("LC_ALL");
  env.Unset("LC_MESSAGES");
  env.Set("LANG", "en_US.UTF-8");
  env.Set("LC_NUMERIC", "de_DE.UTF-8");
  env.Set("LC_TIME", "fr_FR.UTF-8");
  rt::testing::SetLocale("");
  EXPECT_EQ(LocaleName(RegionalCategory::Numbers), "de_DE");
  EXPECT_EQ(LocaleName(RegionalCategory::DatesAndTimes), "fr_FR");
  EXPECT_EQ(LocaleName(RegionalCategory::Language), "en_US");
  EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
  EXPECT_EQ(CStr(Variant(1.5)), "1,5");
  EXPECT_EQ(FormatGeneralDate(moment), "07/12/2026 16:30:05");
  EXPECT_NEAR(CDate("07/12/2026 16:30:05").serial, moment.serial, 1e-9);

  // an empty variable counts as not set
  env.Set("LC_NUMERIC", "");
  rt::testing::SetLocale("");
  EXPECT_EQ(LocaleName(RegionalCategory::Numbers), "en_US");
  EXPECT_EQ(CStr(Variant(1.5)), "1.5");

  // LC_ALL stands above every other
  env.Set("LC_ALL", "de_DE.UTF-8");
  rt::testing::SetLocale("");
  EXPECT_EQ(LocaleName(RegionalCategory::Numbers), "de_DE");
  EXPECT_EQ(LocaleName(RegionalCategory::DatesAndTimes), "de_DE");
  EXPECT_EQ(LocaleName(RegionalCategory::Language), "de_DE");
  EXPECT_EQ(FormatGeneralDate(moment), "07.12.2026 16:30:05");

  // nothing set at all, or the POSIX locale: the C locale
  env.Unset("LC_ALL");
  env.Unset("LC_TIME");
  env.Unset("LANG");
  rt::testing::SetLocale("");
  EXPECT_EQ(LocaleName(RegionalCategory::DatesAndTimes), "C");
  EXPECT_EQ(FormatGeneralDate(moment), "2026-12-07 16:30:05");
  env.Set("LC_ALL", "POSIX");
  rt::testing::SetLocale("");
  EXPECT_EQ(LocaleName(RegionalCategory::Numbers), "C");
  EXPECT_EQ(CStr(Variant(1.5)), "1.5");
}

TEST_F(Conversions, NumbersToTextAsTheRunTimeWritesThem) {
  EXPECT_EQ(CStr(Variant(1560.0f)), "1560");
  EXPECT_EQ(CStr(Variant(0.1f)), "0.1");
  EXPECT_EQ(CStr(Variant(-0.5)), "-0.5");
  EXPECT_EQ(CStr(Variant(1e20)), "1E+20");
  EXPECT_EQ(CStr(Variant(123456789.0f)), "1.234568E+08");
  EXPECT_EQ(CStr(Variant(static_cast<int16_t>(-7))), "-7");
  EXPECT_EQ(CStr(Variant(true)), "True");
  EXPECT_EQ(CStr(Variant()), "");
}

TEST_F(Conversions, GeneralDateRoundTripsInTheLocalesFormat) {
  const DateTime moment{DateSerial(2026, 12, 7).serial + TimeSerial(16, 30, 5).serial};
  const std::string us = FormatGeneralDate(moment);
  EXPECT_EQ(us, "12/7/2026 4:30:05 PM");
  EXPECT_NEAR(CDate(us).serial, moment.serial, 1e-9);
  EXPECT_EQ(FormatGeneralDate(DateSerial(2026, 12, 7)), "12/7/2026");
  EXPECT_EQ(FormatGeneralDate(TimeSerial(9, 30, 0)), "9:30:00 AM");
  EXPECT_NEAR(CDate("9:30").serial, TimeSerial(9, 30, 0).serial, 1e-9);

  rt::testing::SetLocale("de_DE");
  const std::string de = FormatGeneralDate(moment);
  EXPECT_EQ(de, "07.12.2026 16:30:05");
  EXPECT_NEAR(CDate(de).serial, moment.serial, 1e-9);
  EXPECT_NEAR(CDate("7.12.2026 9:05:00").serial, DateSerial(2026, 12, 7).serial + TimeSerial(9, 5, 0).serial, 1e-9);
  EXPECT_EQ(ErrorOf([] { CDate("not a date"); }), errTypeMismatch);
  EXPECT_FALSE(IsDate("31.02.2026"));
}

TEST_F(Conversions, HourBoundariesAndWeekdays) {
  const DateTime d = DateSerial(2026, 12, 7);
  auto at = [&](int h, int m, int s) { return DateTime{d.serial + TimeSerial(h, m, s).serial}; };
  EXPECT_EQ(DateDiffHours(at(9, 59, 59), at(10, 0, 0)), 1);
  EXPECT_EQ(DateDiffHours(at(10, 0, 0), at(10, 59, 59)), 0);
  EXPECT_EQ(DateDiffHours(at(23, 30, 0), DateTime{DateSerial(2026, 12, 8).serial + TimeSerial(0, 10, 0).serial}), 1);
  EXPECT_EQ(DateDiffHours(at(12, 0, 0), at(0, 0, 0)), -12);
  EXPECT_EQ(Weekday(d), 2);  // a Monday
  EXPECT_EQ(Weekday(DateSerial(2026, 12, 6)), 1);
  EXPECT_EQ(Weekday(DateSerial(1899, 12, 30)), 7);
  EXPECT_EQ(DateSerial(2026, 13, 1).serial, DateSerial(2027, 1, 1).serial);
}

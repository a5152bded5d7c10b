#include "platform/runtime/Convert.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/runtime/Error.h"
#include "platform/runtime/Regional.h"
#include "tests/support/Sandbox.h"

using namespace rt;

class Conversions : public Sandbox {};

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
  rt::testing::SetLocale("de_DE");
  EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
  EXPECT_FLOAT_EQ(CSng("0,25"), 0.25f);
  EXPECT_EQ(CStr(Variant(1.5)), "1,5");
  EXPECT_EQ(CInt("2,5"), 2);
  EXPECT_FALSE(IsNumeric("1,2,3"));
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

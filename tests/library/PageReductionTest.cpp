#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <random>
#include <thread>

#include "library/VYK_Library.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Files.h"
#include "tests/support/Sandbox.h"

using namespace VYK_Library;

namespace {

rt::DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return rt::DateTime{rt::DateSerial(year, month, day).serial + rt::TimeSerial(hour, minute, second).serial};
}

}  // namespace

class PageReduction : public Sandbox {
 protected:
  std::string Download(const std::string& name) const { return home + "/download/" + name; }

  // Reduces `page` as the quote retrieval does and gives the output file's content.
  std::string Strip(const std::string& page) {
    WriteFile(Download("Realtime.ht1"), page);
    StripPage("Realtime.ht1", "Realtime.ht2");
    return ReadFile(Download("Realtime.ht2"));
  }

  // A running copy of a small program in the download folder: while it runs, its file refuses to be
  // written (error 70). False when this system does not refuse it.
  bool HoldFile(QProcess& holder, const std::string& name) {
    const QString program = QStandardPaths::findExecutable("sleep");
    if (program.isEmpty()) return false;
    const std::string path = Download(name);
    std::filesystem::create_directories(home + "/download");
    std::filesystem::copy_file(program.toStdString(), path, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    holder.start(QString::fromStdString(path), {"30"});
    if (!holder.waitForStarted()) return false;
    return ErrorOf([&] {
             rt::Open(path, rt::OpenMode::Output, 1);
             rt::Close(1);
           }) == rt::errPermissionDenied;
  }

  static void Release(QProcess& holder) {
    holder.kill();
    holder.waitForFinished();
  }
};

TEST_F(PageReduction, AQuotedPageGivesItsOpeningQuoteAndItsTextRunsButNothingAfterTheLastTag) {
  const std::string page =
      "\"<html><head><title></title></head><body><table><tr><td>DJIA</td><td> 12345.67 </td></tr></table>"
      "</body></html>\"\r\n";
  EXPECT_EQ(Strip(page), "\"\r\nDJIA\r\n 12345.67 \r\n");
  EXPECT_EQ(ErrorLog(), "");
  EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(PageReduction, AmpersandsAreDecodedAndNonBreakingBlanksRemovedUntilNoneIsLeft) {
  EXPECT_EQ(Strip("<p>AT&amp;T<p>&nbsp;<p>1&nbsp;234<p>"), "AT&T\r\n1234\r\n");
  // doubly encoded: the result is decoded again
  EXPECT_EQ(Strip("<p>R&amp;amp;D<p>&amp;nbsp;<p>x&&nbsp;amp;y<p>&nbsp;&nbsp;<p>"), "R&D\r\nx&y\r\n");
  // no other entity is touched, the names are case-sensitive, and blanks alone still make a line
  EXPECT_EQ(Strip("<p>&lt;b&gt; &quot;&AMP;&NBSP;<p>   <p>"), "&lt;b&gt; &quot;&AMP;&NBSP;\r\n   \r\n");
}

TEST_F(PageReduction, ARunBeginningWithCopyrightIsCutToThatWord) {
  EXPECT_EQ(Strip("<p>Copyright 2026 Brennavale Data Inc.<p>copyright 2026 Brennavale<p>"
                  "Copyrighted<p> Copyright 2026<p>&nbsp;Copyright&nbsp;2026<p>"),
            "Copyright\r\ncopyright 2026 Brennavale\r\nCopyright\r\n Copyright 2026\r\nCopyright\r\n");
}

TEST_F(PageReduction, ARunOverSeveralInputLinesKeepsItsCarriageReturnsAndBlanksItsLineFeeds) {
  const std::string out = Strip("<td>Last\r\nTrade\nPrice\r\n\r\n</td>");
  EXPECT_EQ(out, "Last\r Trade Price\r \r \r\n");

  // a reader that splits at carriage returns sees several lines, blank ones included
  rt::Open(Download("Realtime.ht2"), rt::OpenMode::Input, 1);
  std::vector<std::string> lines;
  while (!rt::Eof(1)) lines.push_back(rt::LineInput(1));
  rt::Close(1);
  EXPECT_EQ(lines, (std::vector<std::string>{"Last", " Trade Price", " ", " "}));
}

TEST_F(PageReduction, TagsAreDroppedWholeAndACommentEndsAtItsFirstBracket) {
  EXPECT_EQ(Strip("<a href=\"x\" title=\"a & b\">Link</a><!-- if a > b -->Rest<script>var q = 1;</script>"),
            "Link\r\n b -->Rest\r\nvar q = 1;\r\n");
}

TEST_F(PageReduction, ATagThatNeverClosesEndsTheReduction) {
  EXPECT_EQ(Strip("<p>before<p>after<td class=\"no end\r\nmore text & &amp; words"), "before\r\nafter\r\n");
  EXPECT_EQ(ErrorLog(), "");
  EXPECT_EQ(rt::FreeFile(), 1);
  // the same with nothing at all after the "<"
  EXPECT_EQ(Strip("<p>last<"), "last\r\n");
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(PageReduction, AnEmptyOrTagFreeInputGivesAnEmptyOutput) {
  WriteFile(Download("Realtime.ht2"), "old content\r\n");
  EXPECT_EQ(Strip(""), "");
  EXPECT_TRUE(std::filesystem::exists(Download("Realtime.ht2")));
  EXPECT_EQ(Strip("text without any tag\r\n"), "");
  EXPECT_EQ(ErrorLog(), "");
  EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(PageReduction, AMissingInputIsReportedOnceAndLeavesAnEmptyClosedOutput) {
  WriteFile(Download("Realtime.ht2"), "yesterday's quote\r\n");
  StripPage("missing.ht1", "Realtime.ht2");
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("  StripPage of Modul VYK_Library  0  53  File not found"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(Download("Realtime.ht2")));
  EXPECT_EQ(ReadFile(Download("Realtime.ht2")), "");
  EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(PageReduction, AnOutputThatStaysHeldIsTriedForAboutTwoSecondsThenReportedOnce) {
  QProcess holder;
  if (!HoldFile(holder, "Realtime.ht2")) {
    Release(holder);
    GTEST_SKIP() << "this system lets a running program's file be written";
  }
  rt::testing::SetNow(At(2026, 12, 7, 14, 5, 9), false);
  rt::testing::SetRate(20);
  WriteFile(Download("Realtime.ht1"), "<p>DJIA<p>");
  const double start = rt::SecondsClock();
  StripPage("Realtime.ht1", "Realtime.ht2");
  const double elapsed = rt::SecondsClock() - start;
  Release(holder);

  EXPECT_GE(elapsed, 2.0);
  EXPECT_LT(elapsed, 8.0);  // generous: a loaded machine stretches the fast clock
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("  StripPage of Modul VYK_Library  0  70  Permission denied"), std::string::npos);
  EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(PageReduction, AnOutputReleasedWhileRetryingIsWrittenWithoutAReportAndWithoutEvents) {
  QProcess holder;
  if (!HoldFile(holder, "Realtime.ht2")) {
    Release(holder);
    GTEST_SKIP() << "this system lets a running program's file be written";
  }
  // a slow clock: the two seconds of retrying last twenty, far longer than the release below takes
  rt::testing::SetNow(At(2026, 12, 7, 14, 5, 9), false);
  rt::testing::SetRate(0.1);
  WriteFile(Download("Realtime.ht1"), "<p>DJIA<p>");
  // a timer due at once, which fires only if events are pumped; it goes with the test
  bool pumped = false;
  QTimer due;
  due.setSingleShot(true);
  QObject::connect(&due, &QTimer::timeout, [&] { pumped = true; });
  due.start(0);
  const qint64 pid = holder.processId();
  std::thread release([pid] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(static_cast<pid_t>(pid), SIGKILL);
  });
  StripPage("Realtime.ht1", "Realtime.ht2");
  release.join();
  Release(holder);

  EXPECT_EQ(ReadFile(Download("Realtime.ht2")), "DJIA\r\n");
  EXPECT_EQ(ErrorLog(), "");
  EXPECT_EQ(rt::FreeFile(), 1);
  EXPECT_FALSE(pumped);
}

namespace {

// The reduction one character at a time, each replacement on its own, as the routine is described: the
// reference that the reading in blocks and the decoding in one pass must match.
std::string Reference(const std::string& page) {
  std::string out, run;
  auto flush = [&] {
    while (!run.empty()) {
      size_t pos = run.find("&amp;");
      if (pos != std::string::npos) {
        run.replace(pos, 5, "&");
        continue;
      }
      pos = run.find("&nbsp;");
      if (pos != std::string::npos) {
        run.erase(pos, 6);
        continue;
      }
      if (run.compare(0, 9, "Copyright") == 0) run = "Copyright";
      out += run + "\r\n";
      break;
    }
    run.clear();
  };
  for (size_t i = 0; i < page.size(); ++i) {
    if (page[i] != '<') {
      run += page[i] == '\n' ? ' ' : page[i];
      continue;
    }
    flush();
    const size_t close = page.find('>', i);
    if (close == std::string::npos) break;
    i = close;
  }
  return out;
}

}  // namespace

TEST_F(PageReduction, LongPagesOfAnyMixOfTagsAndEntitiesGiveTheSameLines) {
  const char* const pieces[] = {"<",     ">",  "&",      "amp;", "nbsp;", "&amp;",     "&nbsp;",
                                ";",     "a",  " ",      "\r\n", "\n",    "Copyright", "<td class=\"q\">",
                                "</td>", "x&", "&amp;n", "bsp;"};
  std::mt19937 random(20261207);
  for (const size_t size : {size_t{300}, size_t{5000}, size_t{200000}}) {
    std::string page;
    while (page.size() < size) page += pieces[random() % std::size(pieces)];
    page += "<end>";
    EXPECT_EQ(Strip(page), Reference(page)) << size;
  }
  // a tag and a run on both sides of every block boundary
  std::string page;
  while (page.size() < 300000) page += "<tr><td>S&amp;P 500</td><td>1,100.50&nbsp;</td></tr>\r\n";
  EXPECT_EQ(Strip(page), Reference(page));
  EXPECT_EQ(ErrorLog(), "");
}

class PageReductionWait : public Sandbox {};

TEST_F(PageReductionWait, AWaitAcrossMidnightLastsItsSecondsAndKeepsEventsRunning) {
  rt::testing::SetNow(At(2026, 12, 7, 23, 59, 58), false);
  rt::testing::SetRate(20);  // five seconds in a quarter of a second
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);

  const double start = rt::SecondsClock();
  Wait(5);
  const double elapsed = rt::SecondsClock() - start;

  EXPECT_GE(elapsed, 5.0);
  EXPECT_LT(elapsed, 9.0);  // generous: a loaded machine stretches the fast clock
  EXPECT_EQ(rt::Today().serial, rt::DateSerial(2026, 12, 8).serial);
  EXPECT_GT(ticks, 3);
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(PageReductionWait, NoSecondsOrFewerPumpOnceAndReturn) {
  // the clock stands still: only a wait that does not look at it returns
  for (int seconds : {0, -3}) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    const auto start = std::chrono::steady_clock::now();
    Wait(seconds);
    EXPECT_TRUE(ran) << seconds;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << seconds;
  }
}

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <optional>

#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Program.h"
#include "platform/runtime/Registry.h"
#include "platform/win32/Internet.h"
#include "platform/win32/Shell.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"

using Tollerwick_Main::MainForm;
using namespace Tollerwick_Sub;

class UpdateCycle : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    WriteFile(root + "/route-online",
              "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\tMTU\tWindow\tIRTT\n"
              "eth7\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n");
    WriteFile(root + "/route-offline", "Iface\tDestination\n");
    win32::testing::SetRouteTable((root + "/route-online").c_str());
  }
  void TearDown() override {
    win32::testing::SetRouteTable("");
    MonitorSandbox::TearDown();
  }
  // The maker's home-page server answers from `files` (path -> body); everything else is 404.
  void Serve(peers::HttpServer& server) {
    VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerHome",
                            "127.0.0.1:" + std::to_string(server.Port()));
  }
  void At(int hour, int minute, int second, double fraction = 0) {
    rt::testing::SetNow(rt::DateTime{rt::DateSerial(2026, 12, 7).serial + rt::TimeSerial(hour, minute, second).serial +
                                     fraction / 86400},
                        true);
  }
  // The banner list of the maker's server names these pictures and links.
  static std::string BannerList(const std::vector<std::pair<std::string, std::string>>& banners) {
    std::string list = "vyk banners\r\n" + std::to_string(banners.size());
    for (const auto& [picture, link] : banners) list += "\r\n" + picture + "\r\n" + link;
    return list;
  }
  static std::string Picture() { return ReadFile(TOLLERWICK_SOURCE_DIR "/resources/Common/bitmap/up.bmp"); }
  std::string Status() { return MainForm->sbStatusBar.PanelText(1); }
};

TEST_F(UpdateCycle, TheStatusLineTellsTheConnectionAndTheSchedule) {
  ASSERT_TRUE(RunMain());
  MainForm->TimerRT_Timer();
  EXPECT_EQ(Status(), "  Connection via Lan --  online  --  Download disabled");
  win32::testing::SetRouteTable((root + "/route-offline").c_str());
  chkAutoUpdate = 1;
  chkUpdateIfOnline = 1;
  MainForm->TimerRT_Timer();
  EXPECT_EQ(Status(), " offline  --  Download scheduled for next online connection");
  chkUpdateIfOnline = 0;
  At(8, 0, 0);
  MainForm->TimerRT_Timer();
  EXPECT_EQ(Status(), " offline  --  Download suspended");
  // a start later than the stop leaves no time inside the window
  txtStartTime = "17:00";
  At(12, 0, 0);
  MainForm->TimerRT_Timer();
  EXPECT_EQ(Status(), " offline  --  Download suspended");
}

TEST_F(UpdateCycle, AValueInTheStoreThatNoClockOrNumberReadsDoesNotStopTheUpdates) {
  WriteFile(home + "/download/TickerSettings.vyk", "");
  VYK_GetSystemInfos::RegAppName = "Brennavale";
  VYK_GetSystemInfos::GetPCInfos();
  const std::string user = UserApp();
  rt::SaveSetting(user, "Settings", "txtUpdateInterval", "abc");
  rt::SaveSetting(user, "Settings", "txtAlarmWait", "7x");
  rt::SaveSetting(user, "Settings", "txtStartTime", "09:3\xC3\xA4");
  rt::SaveSetting(user, "Settings", "txtStopTime", "24:10");  // the latest the options dialog allows
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(txtUpdateInterval, "10");
  EXPECT_EQ(txtAlarmWait, "12");
  EXPECT_EQ(txtStartTime, "9:30");
  EXPECT_EQ(txtStopTime, "24:10");
  chkAutoUpdate = 1;
  At(23, 59, 0);
  MainForm->TimerRT_Timer();
  const double ended = MainForm->LastUpdateTime;
  EXPECT_NE(ended, 0);
  rt::testing::Advance(600);  // past midnight: outside the window of the new day until 9:30
  MainForm->TimerRT_Timer();
  EXPECT_EQ(Status(), "  Connection via Lan --  online  --  Download suspended");
  EXPECT_EQ(ErrorLog().find("TimerRT_Timer"), std::string::npos) << ErrorLog();
}

TEST_F(UpdateCycle, TheProgramEndsAtTheStopTimeWhenAsked) {
  ASSERT_TRUE(RunMain());
  chkShutdown = std::string("1");
  At(16, 30, 0);
  MainForm->TimerRT_Timer();  // not strictly later: goes on
  At(16, 30, 6);
  MainForm->TimerRT_Timer();  // more than five seconds later: goes on
  At(16, 30, 2);
  EXPECT_THROW(MainForm->TimerRT_Timer(), rt::EndOfProcess);
  rt::testing::DiscardForms();
  MainForm = nullptr;
}

TEST_F(UpdateCycle, TimesOfDayCountInWholeSeconds) {
  ASSERT_TRUE(RunMain());
  chkShutdown = std::string("1");
  txtStopTime = "16:30";
  // 16:30:00 and a fraction is still the stop second: not strictly later
  At(16, 30, 0, 0.6);
  MainForm->TimerRT_Timer();
  At(16, 30, 5, 0.2);
  MainForm->TimerRT_Timer();
  chkShutdown = std::string("0");
  // the start and the stop second count as inside the window, the second before and after do not
  chkAutoUpdate = 1;
  txtStartTime = "9:30";
  MainForm->LastUpdateTime = rt::SecondsClock();
  const std::string scheduled = "  Connection via Lan --  online  --  Download scheduled";
  const std::string suspended = "  Connection via Lan --  online  --  Download suspended";
  const std::pair<double, std::string> moments[] = {
      {rt::TimeSerial(9, 29, 59).serial * 86400 + 0.9, suspended},
      {rt::TimeSerial(9, 30, 0).serial * 86400, scheduled},
      {rt::TimeSerial(16, 30, 0).serial * 86400 + 0.9, scheduled},
      {rt::TimeSerial(16, 30, 1).serial * 86400, suspended},
  };
  for (const auto& [second, status] : moments) {
    At(0, 0, 0, second);
    MainForm->LastUpdateTime = rt::SecondsClock();
    MainForm->TimerRT_Timer();
    EXPECT_EQ(Status(), status) << second;
  }
  chkShutdown = std::string("1");
  At(16, 30, 4, 0.9);
  EXPECT_THROW(MainForm->TimerRT_Timer(), rt::EndOfProcess);
  rt::testing::DiscardForms();
  MainForm = nullptr;
}

TEST_F(UpdateCycle, AClockSetBackDoesNotHoldTheUpdates) {
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  chkAutoUpdate = 1;
  MainForm->LastUpdateTime = 0;  // the window object outlives its loads: a cycle is due at once
  At(12, 0, 0);
  MainForm->TimerRT_Timer();
  const double ended = MainForm->LastUpdateTime;
  ASSERT_NE(ended, 0);
  // summer time ends: the clock goes back an hour; ten minutes later the next cycle is due all the same
  rt::testing::SetClockBy(-3600);
  rt::testing::Advance(599);
  MainForm->TimerRT_Timer();
  EXPECT_EQ(MainForm->LastUpdateTime, ended);
  rt::testing::Advance(1);
  MainForm->TimerRT_Timer();
  EXPECT_GT(MainForm->LastUpdateTime, ended);
  // and the news, twelve hours after their refresh, not thirteen
  std::atomic<int> lists{0};
  peers::HttpServer server([&](const std::string& request) -> std::optional<std::string> {
    if (peers::Path(request) == "/vyk/bin/News100.vyk") ++lists;
    return peers::Reply(404, "Not Found", "");
  });
  Serve(server);
  rt::testing::SetClockBy(-3600);
  rt::testing::Advance(43200 - 600);
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(lists, 1);
}

TEST_F(UpdateCycle, NewsAndBannersRotateTogether) {
  peers::HttpServer server([](const std::string& request) -> std::optional<std::string> {
    const std::string path = peers::Path(request);
    if (path == "/vyk/bin/Banner100.vyk")
      return peers::Reply(200, "OK",
                          "vyk banners\r\n2\r\nb0.bmp\r\nhttp://one.example/\r\nb1.bmp\r\nhttp://two.example/");
    if (path == "/vyk/bin/News100.vyk")
      return peers::Reply(200, "OK", "vyk news 12/07/26\r\n3\r\nzero\r\n###\r\none\r\n###\r\ntwo\r\n###");
    if (path == "/vyk/images/Banner/b0.bmp" || path == "/vyk/images/Banner/b1.bmp")
      return peers::Reply(200, "OK", std::string(ReadFile(TOLLERWICK_SOURCE_DIR "/resources/Common/bitmap/up.bmp")));
    return peers::Reply(404, "Not Found", "");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  const char* expected[][2] = {{"0", "zero"}, {"1", "one"}, {"0", "two"}, {"1", "zero"}};
  for (const auto& step : expected) {
    MainForm->cmdUpdateRT_Click();
    EXPECT_EQ(MainForm->BannerOnShow, std::stoi(step[0]));
    EXPECT_EQ(MainForm->RtbNews1.Text(), std::string("VYK News -- 12/07/26\r\n") + step[1]);
  }
  // the pictures were fetched once each, the lists once (the 12 hours have not passed)
  int pictures = 0, lists = 0;
  for (const std::string& r : server.Requests()) {
    pictures += peers::Path(r).rfind("/vyk/images/", 0) == 0;
    lists += peers::Path(r).rfind("/vyk/bin/", 0) == 0;
  }
  EXPECT_EQ(pictures, 2);
  EXPECT_EQ(lists, 2);
  rt::testing::Launches().clear();
  MainForm->Image2_Click();
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{"http://two.example/"});
}

TEST_F(UpdateCycle, ABannerPictureNotReceivedIsAskedForAgain) {
  std::atomic<int> asked{0};
  peers::HttpServer server([&](const std::string& request) -> std::optional<std::string> {
    const std::string path = peers::Path(request);
    if (path == "/vyk/bin/Banner100.vyk")
      return peers::Reply(200, "OK", BannerList({{"b0.bmp", "http://one.example/"}}));
    if (path == "/vyk/images/Banner/b0.bmp")
      return ++asked == 1 ? peers::Reply(503, "Service Unavailable", "busy") : peers::Reply(200, "OK", Picture());
    return peers::Reply(404, "Not Found", "");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  MainForm->cmdUpdateRT_Click();
  EXPECT_FALSE(std::filesystem::exists(home + "/download/b0.bmp"));
  EXPECT_NE(ErrorLog().find("cmdUpdateRT_Click of Formular frmMain_Tollerwick"), std::string::npos);
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ReadFile(home + "/download/b0.bmp"), Picture());
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(asked, 2);
}

// A banner list that is no list (an error page that a server or a proxy answered with) leaves the banners
// as they were.
TEST_F(UpdateCycle, ABannerListThatIsAnErrorPageLeavesTheBannersAsTheyWere) {
  std::atomic<bool> errorPage{false};
  peers::HttpServer server([&](const std::string& request) -> std::optional<std::string> {
    const std::string path = peers::Path(request);
    if (path == "/vyk/bin/Banner100.vyk")
      return errorPage
                 ? peers::Reply(200, "OK", "<html><body>\r\n503\r\n<p>Service Unavailable</p>\r\n</body></html>")
                 : peers::Reply(200, "OK",
                                BannerList({{"b0.bmp", "http://one.example/"}, {"b1.bmp", "http://two.example/"}}));
    if (path.rfind("/vyk/images/Banner/", 0) == 0) return peers::Reply(200, "OK", Picture());
    return peers::Reply(404, "Not Found", "");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  MainForm->cmdUpdateRT_Click();
  ASSERT_EQ(BannerCount, 2);
  ASSERT_EQ(MainForm->BannerOnShow, 0);
  errorPage = true;
  ForceNewsDownload = true;
  MainForm->cmdUpdateRT_Click();
  int lists = 0;
  for (const std::string& r : server.Requests()) lists += peers::Path(r) == "/vyk/bin/Banner100.vyk";
  ASSERT_EQ(lists, 2);
  EXPECT_EQ(BannerCount, 2);
  EXPECT_EQ(BannerTable[0].picture, "b0.bmp");
  EXPECT_EQ(BannerTable[1].link, "http://two.example/");
  EXPECT_EQ(MainForm->BannerOnShow, 1);
  rt::testing::Launches().clear();
  MainForm->Image2_Click();
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{"http://two.example/"});
}

TEST_F(UpdateCycle, OnlyAWebAddressOfABannerIsOpened) {
  peers::HttpServer server([&](const std::string& request) -> std::optional<std::string> {
    const std::string path = peers::Path(request);
    if (path == "/vyk/bin/Banner100.vyk")
      return peers::Reply(200, "OK",
                          BannerList({{"b0.bmp", "file:///etc/passwd"},
                                      {"b1.bmp", "/usr/bin/xterm"},
                                      {"b2.bmp", "HTTPS://three.example/a?b=c"},
                                      {"b3.bmp", "http://four.example/x y"}}));
    if (path.rfind("/vyk/images/Banner/", 0) == 0) return peers::Reply(200, "OK", Picture());
    return peers::Reply(404, "Not Found", "");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  rt::testing::Launches().clear();
  std::vector<std::string> refused;
  for (int banner = 0; banner < 4; ++banner) {
    MainForm->cmdUpdateRT_Click();
    ASSERT_EQ(MainForm->BannerOnShow, banner);
    const size_t logged = ErrorLog().size();
    MainForm->Image2_Click();
    if (ErrorLog().size() > logged) refused.push_back(ErrorLog().substr(logged));
  }
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{"HTTPS://three.example/a?b=c"});
  ASSERT_EQ(refused.size(), 3u);
  EXPECT_NE(refused[0].find("Image2_Click of Formular frmMain_Tollerwick"), std::string::npos);
  EXPECT_NE(refused[0].find("file:///etc/passwd"), std::string::npos);
  EXPECT_NE(refused[1].find("/usr/bin/xterm"), std::string::npos);
}

TEST_F(UpdateCycle, ABannerNameNamesOnlyANewPictureFile) {
  peers::HttpServer server([](const std::string& request) -> std::optional<std::string> {
    if (peers::Path(request) == "/vyk/bin/Banner100.vyk")
      return peers::Reply(200, "OK",
                          BannerList({{"TickerSettings.vyk", "http://x.example/"},
                                      {".hidden.bmp", "http://x.example/"},
                                      {"Realtime.ht1", "http://x.example/"},
                                      {"good.PNG", "http://x.example/"}}));
    return peers::Reply(200, "OK", "payload");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  std::filesystem::remove(home + "/download/TickerSettings.vyk");
  Serve(server);
  for (int cycle = 0; cycle < 4; ++cycle) MainForm->cmdUpdateRT_Click();
  EXPECT_FALSE(std::filesystem::exists(home + "/download/TickerSettings.vyk"));
  EXPECT_FALSE(std::filesystem::exists(home + "/download/.hidden.bmp"));
  EXPECT_FALSE(std::filesystem::exists(home + "/download/Realtime.ht1"));
  EXPECT_EQ(ReadFile(home + "/download/good.PNG"), "payload");
  EXPECT_NE(ErrorLog().find("Bad banner picture name: TickerSettings.vyk"), std::string::npos);
}

TEST_F(UpdateCycle, ABannerNameCannotLeaveTheDownloadFolder) {
  peers::HttpServer server([](const std::string& request) -> std::optional<std::string> {
    if (peers::Path(request) == "/vyk/bin/Banner100.vyk")
      return peers::Reply(200, "OK", "vyk\r\n1\r\n../../evil.bmp\r\nhttp://x.example/");
    return peers::Reply(200, "OK", "payload");
  });
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  MainForm->cmdUpdateRT_Click();
  EXPECT_FALSE(std::filesystem::exists(root + "/evil.bmp"));
  EXPECT_NE(ErrorLog().find("Bad banner picture name"), std::string::npos);
}

TEST_F(UpdateCycle, AnUnknownProviderIsToldAndFetchedFromProviderOne) {
  peers::HttpServer quotes(
      [](const std::string&) -> std::optional<std::string> { return peers::Reply(404, "Not Found", ""); });
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\Provider1Quotes",
                          "127.0.0.1:" + std::to_string(quotes.Port()));
  WriteFile(home + "/download/TickerSettings.vyk", "\"IBM\",\"\",\"\",\"\",\"00:00:00\"\r\n");
  ASSERT_TRUE(RunMain());
  // the provider list's selection at the start leaves the row's provider as the file has it
  EXPECT_EQ(MainForm->FG3.TextMatrix(2, 13), "");
  ForceNewsDownload = false;
  LastNewsTime = rt::SecondsClock();
  rt::testing::MessageBoxes().shown.clear();
  MainForm->cmdUpdateRT_Click();
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  EXPECT_EQ(rt::testing::MessageBoxes().shown[0].prompt,
            "Data provider not defined or supported.\r\nTollerwick will try the Ticker Symbol\r\nwith data provider "
            "Yahoo.");
  ASSERT_EQ(quotes.Requests().size(), 1u);
  EXPECT_NE(peers::RequestLine(quotes.Requests()[0]).find("symbols=IBM"), std::string::npos);
}

// A ticker of provider 1 whose quote server answers nothing useful, and no news refresh due.
class UpdateCycleWithTicker : public UpdateCycle {
 protected:
  void SetUp() override {
    UpdateCycle::SetUp();
    PointProviderAt(quotes);
    WriteFile(home + "/download/TickerSettings.vyk", "\"IBM\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
    ASSERT_TRUE(RunMain());
    ASSERT_EQ(MainForm->FG3.TextMatrix(2, 13), "1");
    ForceNewsDownload = false;
    LastNewsTime = rt::SecondsClock();
  }
  static void PointProviderAt(const peers::HttpServer& server) {
    VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\Provider1Quotes",
                            "127.0.0.1:" + std::to_string(server.Port()));
  }
  peers::HttpServer quotes{
      [](const std::string&) -> std::optional<std::string> { return peers::Reply(404, "Not Found", ""); }};
};

// The clock runs on while a cycle waits for its quotes: the next cycle is due an interval after the end of
// the last one, not after its start.
TEST_F(UpdateCycleWithTicker, ACycleIsDueAfterTheIntervalCountedFromTheEndOfTheLast) {
  // the quote server answers five minutes after it was asked: the program's own thread moves the clock on
  // while it waits for the answer
  peers::HttpServer slow([](const std::string&) -> std::optional<std::string> {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { rt::testing::Advance(300); }, Qt::BlockingQueuedConnection);
    return peers::Reply(404, "Not Found", "");
  });
  PointProviderAt(slow);
  chkAutoUpdate = 1;
  MainForm->LastUpdateTime = 0;  // the window object outlives its loads: a cycle is due at once
  At(9, 30, 0);                  // exactly the start time counts as inside
  const double started = rt::SecondsClock();
  MainForm->TimerRT_Timer();
  ASSERT_EQ(slow.Requests().size(), 1u);
  const double ended = MainForm->LastUpdateTime;
  EXPECT_DOUBLE_EQ(ended, started + 300);
  EXPECT_TRUE(MainForm->TimerRT.Enabled());
  EXPECT_TRUE(MainForm->cmdAddTicker.Enabled());
  EXPECT_EQ(MainForm->cmdUpdateRT.Caption(), "Update Realtime Data");
  rt::testing::Advance(599);
  MainForm->TimerRT_Timer();
  EXPECT_EQ(MainForm->LastUpdateTime, ended);
  EXPECT_EQ(slow.Requests().size(), 1u);
  EXPECT_EQ(Status(), "  Connection via Lan --  online  --  Download scheduled");
  rt::testing::Advance(1);
  MainForm->TimerRT_Timer();
  EXPECT_EQ(slow.Requests().size(), 2u);
  EXPECT_DOUBLE_EQ(MainForm->LastUpdateTime, ended + 600 + 300);
  // ticking the box makes a cycle due at once
  MainForm->chkRT.SetValue(1);
  EXPECT_EQ(MainForm->LastUpdateTime, 0);
}

TEST_F(UpdateCycleWithTicker, WhileACycleRunsNoSecondCanStartAndTheTickerButtonsRest) {
  struct Look {
    bool timer, update, add, remove, autoUpdate;
    std::string caption, status;
    int pointer;
  };
  auto look = [this] {
    frmMain_Tollerwick& m = *MainForm;
    return Look{m.TimerRT.Enabled(),
                m.cmdUpdateRT.Enabled(),
                m.cmdAddTicker.Enabled(),
                m.cmdDeleteTicker.Enabled(),
                m.chkRT.Enabled(),
                m.cmdUpdateRT.Caption(),
                Status(),
                m.MousePointer()};
  };
  MainForm->TimerRT.SetEnabled(true);
  StatusText = "  online";
  std::optional<Look> during;
  // runs at the first pending-events point, inside the cycle's download
  QTimer::singleShot(0, [&] { during = look(); });
  MainForm->cmdUpdateRT_Click();
  ASSERT_EQ(quotes.Requests().size(), 1u);
  ASSERT_TRUE(during.has_value());
  EXPECT_FALSE(during->timer);
  EXPECT_FALSE(during->update);
  EXPECT_FALSE(during->add);
  EXPECT_FALSE(during->remove);
  EXPECT_TRUE(during->autoUpdate);  // the box stays usable
  EXPECT_EQ(during->caption, "downloading ....");
  EXPECT_EQ(during->status, "  online  --  Download in Progress");
  EXPECT_EQ(during->pointer, rt::pointerArrowHourglass);

  const Look after = look();
  EXPECT_TRUE(after.timer);
  EXPECT_TRUE(after.update);
  EXPECT_TRUE(after.add);
  EXPECT_TRUE(after.remove);
  EXPECT_EQ(after.caption, "Update Realtime Data");
  EXPECT_EQ(after.pointer, rt::pointerDefault);
}

TEST_F(UpdateCycleWithTicker, TheNamedProxyCarriesTheQuotesOnlyWhileItIsChosen) {
  peers::HttpServer proxy(
      [](const std::string&) -> std::optional<std::string> { return peers::Reply(404, "Not Found", ""); });
  optConnection = 1;
  txtProxyServer = "127.0.0.1";
  txtProxyPort = std::to_string(proxy.Port());
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\Provider1Quotes",
                          "quotes.provider1.invalid");
  MainForm->cmdUpdateRT_Click();
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(peers::RequestLine(proxy.Requests()[0]).rfind("GET http://quotes.provider1.invalid/", 0), 0u)
      << peers::RequestLine(proxy.Requests()[0]);
  EXPECT_NE(peers::RequestLine(proxy.Requests()[0]).find("symbols=IBM"), std::string::npos);
  EXPECT_EQ(MainForm->InetRealtime1.AccessType(), 2);
  EXPECT_EQ(MainForm->Inet1.AccessType(), 0);  // the version check's control is left alone

  optConnection = 0;
  PointProviderAt(quotes);
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(quotes.Requests().size(), 1u);
  EXPECT_EQ(MainForm->InetRealtime1.AccessType(), 0);
}

TEST_F(UpdateCycle, AfterTheFirstRefreshNewsAndBannersComeAgainOnlyAfterTwelveHours) {
  peers::HttpServer server([](const std::string& request) -> std::optional<std::string> {
    if (peers::Path(request) == "/vyk/bin/News100.vyk")
      return peers::Reply(200, "OK", "vyk news 12/07/26\r\n1\r\nitem\r\n###");
    return peers::Reply(404, "Not Found", "");
  });
  auto lists = [&] {
    int n = 0;
    for (const std::string& r : server.Requests()) n += peers::Path(r).rfind("/vyk/bin/", 0) == 0;
    return n;
  };
  WriteFile(home + "/download/TickerSettings.vyk", "");
  ASSERT_TRUE(RunMain());
  Serve(server);
  At(14, 0, 0);
  MainForm->cmdUpdateRT_Click();  // the first cycle after the start refreshes
  EXPECT_EQ(lists(), 2);
  rt::testing::Advance(43199);
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(lists(), 2);
  rt::testing::Advance(1);  // 02:00 the next day
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(lists(), 4);
  MainForm->cmdUpdateRT_Click();
  EXPECT_EQ(lists(), 4);
}

// A cycle repaints only the grid cells it changes: afterwards the window shows what a painting of every
// cell shows (quotes, colours and pictures of every row, the current row's highlight moved to the last).
TEST_F(UpdateCycle, AfterACycleTheGridShowsWhatAFullPaintingShows) {
  peers::HttpServer quotes([](const std::string& request) -> std::optional<std::string> {
    const std::string path = peers::Path(request);
    const std::string symbol = path.substr(path.rfind('=') + 1);
    const std::string change = symbol == "T2" ? "+0.75" : "-0.25";
    return peers::Reply(200, "OK", symbol + ",27.50,a,b," + change + ",27.70,27.90,27.40,1234567\r\n");
  });
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\Provider1Quotes",
                          "127.0.0.1:" + std::to_string(quotes.Port()));
  std::string tickers;
  for (int i = 1; i <= 5; ++i) tickers += "\"T" + std::to_string(i) + "\",\"\",\"\",\"1\",\"00:00:00\"\r\n";
  WriteFile(home + "/download/TickerSettings.vyk", tickers);
  ASSERT_TRUE(RunMain());
  ForceNewsDownload = false;
  LastNewsTime = rt::SecondsClock();
  MainForm->Show();
  QApplication::processEvents();

  auto* grid = qobject_cast<QTableView*>(MainForm->FG3.Widget());
  ASSERT_NE(grid, nullptr);
  QWidget* cells = grid->viewport();
  // the window's own pixels where the cells are, as the last paintings left them
  const auto shown = [&] {
    QWidget* top = cells->window();
    const QPoint at = cells->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(top->winId(), at.x(), at.y(), cells->width(), cells->height())
        .toImage();
  };
  MainForm->cmdUpdateRT_Click();
  MainForm->FG3.WaitForPainting();
  ASSERT_EQ(MainForm->FG3.TextMatrix(6, 3), "27.50");
  ASSERT_TRUE(cells->isVisible());
  const QImage afterCycle = shown();
  cells->update();
  cells->repaint();
  const QImage repainted = shown();
  ASSERT_FALSE(repainted.isNull());
  EXPECT_TRUE(afterCycle == repainted);
}

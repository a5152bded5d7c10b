#include <gtest/gtest.h>

#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "library/VYK_Internet.h"
#include "library/VYK_Language.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/win32/Internet.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"

using VYK_Language::LanguageText;

class VersionCheck : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    ASSERT_TRUE(RunMain());
    rt::testing::MessageBoxes().shown.clear();
  }
  // The maker's download server answers the version list with `body` (nothing at all when absent).
  void Check(const std::optional<std::string>& body) {
    peers::HttpServer server([&](const std::string& request) -> std::optional<std::string> {
      if (peers::Path(request) != "/versions.txt" || !body) return peers::Reply(404, "Not Found", "");
      return peers::Reply(200, "OK", *body);
    });
    VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerDownload",
                            "127.0.0.1:" + std::to_string(server.Port()));
    VYK_Internet::ChkNewVersion();
  }
  const rt::testing::ShownMessage& Shown() {
    const auto& shown = rt::testing::MessageBoxes().shown;
    EXPECT_EQ(shown.size(), 1u);
    return shown.back();
  }
  bool Logged() { return ErrorLog().find("ChkNewVersion of Modul VYK_Internet") != std::string::npos; }
};

TEST_F(VersionCheck, ANewerRevisionIsOfferedWithTheListsVersion) {
  Check("99,1.0.0\r\n\"100\",3.7.12\r\n");
  const auto& box = Shown();
  EXPECT_EQ(box.style, 4164);
  EXPECT_EQ(box.title, LanguageText(23));
  EXPECT_EQ(box.prompt,
            "Brennavale " + LanguageText(45) + " (v. 3.7.12) " + LanguageText(43) + "\r\n" + LanguageText(44));
}

TEST_F(VersionCheck, ANewerMajorVersionIsToldWithoutLookingFurther) {
  Check("100,4.0.0\r\n");
  EXPECT_NE(Shown().prompt.find(LanguageText(47) + " (v. 4.0.0)"), std::string::npos);
}

TEST_F(VersionCheck, ANewerMinorVersionIsToldWhateverItsRevision) {
  for (const char* list : {"100,3.8.0\r\n", "100,3.8.9\r\n"}) {
    rt::testing::MessageBoxes().shown.clear();
    rt::testing::MessageBoxes().answers.push_back(rt::answerNo);
    Check(list);
    const std::string version = std::string(list).substr(4, 5);
    EXPECT_EQ(Shown().prompt, "Brennavale " + LanguageText(46) + " (v. " + version + ") " + LanguageText(43) + "\r\n" +
                                  LanguageText(44))
        << list;
    EXPECT_EQ(Shown().style, 4164);
  }
}

TEST_F(VersionCheck, TheSameOrAnOlderVersionIsUpToDate) {
  for (const char* list : {"100,3.7.4\r\n", "100,2.9.9\r\n", "100,3.6.99\r\n"}) {
    rt::testing::MessageBoxes().shown.clear();
    Check(list);
    EXPECT_EQ(Shown().prompt, LanguageText(42) + " (3.7.4) of Brennavale.") << list;
    EXPECT_EQ(Shown().style, 4160);
  }
}

TEST_F(VersionCheck, UnusableListsGiveTheFailureMessage) {
  for (const char* list : {"\r\n100,3.7.9", "5,1.0.0\r\n7,2.0.0", "ab"}) {
    rt::testing::MessageBoxes().shown.clear();
    Check(list);
    EXPECT_EQ(Shown().prompt, LanguageText(48) + "\r\n" + LanguageText(49)) << list;
    EXPECT_EQ(Shown().style, 4112);
    EXPECT_EQ(Shown().title, LanguageText(16));
  }
  EXPECT_FALSE(Logged());
  EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(VersionCheck, AnUnreachableServerLeavesAnEmptyListAndLogsNothing) {
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerDownload",
                          "127.0.0.1:" + std::to_string(peers::UnusedPort()));
  VYK_Internet::ChkNewVersion();
  EXPECT_EQ(Shown().style, 4112);
  EXPECT_EQ(ReadFile(root + "/temp/versions.txt"), "");
  EXPECT_FALSE(Logged());
}

TEST_F(VersionCheck, AVersionWithOnePointIsLoggedAndFails) {
  Check("100,3.7\r\n");
  EXPECT_EQ(Shown().style, 4112);
  EXPECT_TRUE(Logged());
}

TEST_F(VersionCheck, TheConnectionStateComesFromTheRoutingTable) {
  WriteFile(root + "/route",
            "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\tMTU\tWindow\tIRTT\n"
            "ppp0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
            "eth9\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n");
  win32::testing::SetRouteTable((root + "/route").c_str());
  EXPECT_TRUE(VYK_Internet::Online());
  EXPECT_TRUE(VYK_Internet::ViaModem());
  EXPECT_FALSE(VYK_Internet::ViaLAN());
  WriteFile(root + "/route", "Iface\tDestination\n");
  EXPECT_FALSE(VYK_Internet::Online());
  win32::testing::SetRouteTable("");
}

TEST_F(VersionCheck, AnIpv6DefaultRouteIsAConnectionToo) {
  const std::string none(32, '0');
  auto route6 = [&](const std::string& destination, const std::string& prefix, const std::string& flags,
                    const std::string& iface) {
    return destination + " " + prefix + " " + none +
           " 00 fd000000000000000000000000000001 00000400 00000002 00000000 " + flags + " " + iface + "\n";
  };
  WriteFile(root + "/route", "Iface\tDestination\n");
  // the loopback's unreachable default, a route of one network and a default route that is down count not
  WriteFile(root + "/route6", route6(none, "00", "00200200", "lo") +
                                  route6("fd" + none.substr(2), "40", "00000001", "eth4") +
                                  route6(none, "00", "00000002", "eth5"));
  win32::testing::SetRouteTable((root + "/route").c_str(), (root + "/route6").c_str());
  EXPECT_FALSE(VYK_Internet::Online());
  WriteFile(root + "/route6", route6(none, "00", "00200200", "lo") + route6(none, "00", "00000003", "eth4"));
  EXPECT_TRUE(VYK_Internet::Online());
  EXPECT_TRUE(VYK_Internet::ViaLAN());
  EXPECT_FALSE(VYK_Internet::ViaModem());
  WriteFile(root + "/route6", route6(none, "00", "00000003", "ppp1"));
  EXPECT_TRUE(VYK_Internet::ViaModem());
  EXPECT_FALSE(VYK_Internet::ViaLAN());
  win32::testing::SetRouteTable("");
}

// The check asked again while the first one still downloads (the button clicked twice): the second waits
// for the first download and makes a full check of its own, with no failure message.
TEST_F(VersionCheck, ASecondCheckDuringTheDownloadRunsAfterIt) {
  std::mutex mutex;
  std::condition_variable asked;
  bool secondAsked = false;
  std::atomic<int> arrived{0};
  // the first request is answered once the second check has been asked for
  peers::HttpServer server([&](const std::string&) -> std::optional<std::string> {
    if (arrived++ == 0) {
      std::unique_lock<std::mutex> lock(mutex);
      asked.wait_for(lock, std::chrono::seconds(20), [&] { return secondAsked; });
    }
    return peers::Reply(200, "OK", "100,3.7.4\r\n");
  });
  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\MakerDownload",
                          "127.0.0.1:" + std::to_string(server.Port()));
  bool secondRan = false;
  QTimer click;
  click.setInterval(1);
  QObject::connect(&click, &QTimer::timeout, [&] {
    if (arrived == 0) return;
    click.stop();
    {
      std::lock_guard<std::mutex> lock(mutex);
      secondAsked = true;
    }
    asked.notify_all();
    VYK_Internet::ChkNewVersion();
    secondRan = true;
  });
  click.start();
  VYK_Internet::ChkNewVersion();
  EXPECT_TRUE(secondRan);
  const auto& shown = rt::testing::MessageBoxes().shown;
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) EXPECT_EQ(box.prompt, LanguageText(42) + " (3.7.4) of Brennavale.");
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_FALSE(Logged());
}

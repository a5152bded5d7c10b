#include <gtest/gtest.h>

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Registry.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/peers/HttpPeer.h"
#include "windows/frmBrowser.h"

using Tollerwick_Main::MainForm;

class Browser : public MonitorSandbox {
 protected:
  void SetUp() override {
    MonitorSandbox::SetUp();
    WriteFile(home + "/download/TickerSettings.vyk", "\"MSFT\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
    ASSERT_TRUE(RunMain());
    VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\ChartSite",
                            "127.0.0.1:" + std::to_string(server.Port()));
  }
  frmBrowser& Window() { return rt::Default<frmBrowser>(); }
  // The request lines of the chart pages asked for; a page may ask for more than itself (its icon).
  std::vector<std::string> ChartRequests() {
    std::vector<std::string> lines;
    for (const std::string& request : server.Requests()) {
      const std::string line = peers::RequestLine(request);
      if (line.find("/custom/alliance/interactivechart.asp") != std::string::npos) lines.push_back(line);
    }
    return lines;
  }
  bool WaitForChartRequests(size_t count) {
    for (int i = 0; i < 3000; ++i) {
      if (ChartRequests().size() >= count) return true;
      rt::DoEventsWaiting(10);
    }
    return false;
  }
  bool WaitForPage() {
    for (int i = 0; i < 1000; ++i) {
      if (Window().Caption() == "DurivEraz Uzoduz") return true;
      rt::DoEventsWaiting(10);
    }
    return false;
  }
  // The web view inside the browser control and the page it shows, found by their classes (the test needs
  // no web engine of its own).
  QWidget* View() {
    QWidget* w = Window().brwWebBrowser2.Widget();
    if (!w || w->inherits("QWebEngineView")) return w;
    for (QWidget* c : w->findChildren<QWidget*>())
      if (c->inherits("QWebEngineView")) return c;
    return nullptr;
  }
  QObject* Page() {
    for (QObject* c : View()->children())
      if (c->inherits("QWebEnginePage")) return c;
    return nullptr;
  }
  peers::HttpServer server{[](const std::string&) -> std::optional<std::string> {
    return peers::Reply(200, "OK", "<html><body><h1>chart</h1></body></html>", "Content-Type: text/html\r\n");
  }};
};

TEST_F(Browser, TheChartButtonOpensTheChartOfTheCurrentRow) {
  MainForm->cmdCharts_Click();
  EXPECT_TRUE(Window().Visible());
  ASSERT_TRUE(WaitForPage());
  ASSERT_TRUE(WaitForChartRequests(1));
  EXPECT_NE(ChartRequests()[0].find("/custom/alliance/interactivechart.asp?astyle="), std::string::npos);
  EXPECT_NE(ChartRequests()[0].find("&symb=MSFT"), std::string::npos);
  // after the download the window is 490 by 630 pixels and the browser 100 twips smaller each way
  EXPECT_NEAR(Window().Width(), 490 * rt::TwipsPerPixelX(), rt::TwipsPerPixelX());
  EXPECT_NEAR(Window().Height(), 630 * rt::TwipsPerPixelY(), rt::TwipsPerPixelY());
  EXPECT_NEAR(Window().brwWebBrowser2.Width(), Window().Width() - 100, 1);
  EXPECT_NEAR(Window().brwWebBrowser2.Height(), Window().Height() - 100, 1);
  Window().Unload();
}

TEST_F(Browser, ADoubleClickOnATickerRowOpensItsChartInAFreshWindow) {
  MainForm->cmdCharts_Click();
  ASSERT_TRUE(WaitForPage());
  MainForm->FG3.SimulateClick(2, 2, true);
  ASSERT_TRUE(WaitForChartRequests(2));
  ASSERT_TRUE(WaitForPage());
  const std::string line = ChartRequests()[1];
  EXPECT_NE(line.find("o_symb=MSFT&post=&symb=MSFT&time=1da"), std::string::npos) << line;
  // a ticker with a character of its own in an address goes encoded, as into every other address
  MainForm->FG3.SetTextMatrix(2, 2, "AT&T B");
  MainForm->FG3.SimulateClick(2, 2, true);
  ASSERT_TRUE(WaitForChartRequests(3));
  const std::string encoded = ChartRequests()[2];
  EXPECT_NE(encoded.find("o_symb=AT%26T%20B&post=&symb=AT%26T%20B&time=1da"), std::string::npos) << encoded;
  Window().Unload();
}

TEST_F(Browser, TheWindowKeepsItsPlaceBetweenRuns) {
  MainForm->cmdCharts_Click();
  ASSERT_TRUE(WaitForPage());
  Window().Move(1500, 1200);
  Window().Unload();
  EXPECT_EQ(rt::GetSetting("Brennavale", "Settings", "MainLeft"), "1500");
  EXPECT_EQ(rt::GetSetting("Brennavale", "Settings", "MainTop"), "1200");
  MainForm->cmdCharts_Click();
  EXPECT_NEAR(Window().Left(), 1500, rt::TwipsPerPixelX());
  EXPECT_NEAR(Window().Top(), 1200, rt::TwipsPerPixelY());
  Window().Unload();
}

// The whole window is on the screen.
void ExpectOnScreen(rt::Form& window) {
  EXPECT_GE(window.Left(), 0);
  EXPECT_GE(window.Top(), 0);
  EXPECT_LE(window.Left() + window.Width(), rt::ScreenWidth());
  EXPECT_LE(window.Top() + window.Height(), rt::ScreenHeight());
}

TEST_F(Browser, OnFirstUseTheWindowOpensCentredOnTheScreen) {
  ASSERT_EQ(rt::GetSetting("Brennavale", "Settings", "MainLeft", "<none>"), "<none>");
  MainForm->cmdCharts_Click();
  ASSERT_TRUE(Window().Visible());
  // centred at its first size, 600 by 500 twips; the first page keeps that place as far as the window,
  // grown to 490 by 630 pixels, stays on the screen
  const double left = (rt::ScreenWidth() - 600) / 2, top = (rt::ScreenHeight() - 500) / 2;
  EXPECT_NEAR(Window().Left(), left, rt::TwipsPerPixelX());
  EXPECT_NEAR(Window().Top(), top, rt::TwipsPerPixelY());
  ASSERT_TRUE(WaitForPage());
  EXPECT_NEAR(Window().Left(), std::min(left, rt::ScreenWidth() - Window().Width()), rt::TwipsPerPixelX());
  EXPECT_NEAR(Window().Top(), std::min(top, rt::ScreenHeight() - Window().Height()), rt::TwipsPerPixelY());
  ExpectOnScreen(Window());
  Window().Unload();
}

TEST_F(Browser, APageKeepsTheWindowOnTheScreen) {
  // a place kept from a larger screen, or the corner the small window was dragged to
  for (const auto& [left, top] : {std::pair{rt::ScreenWidth() - 700, rt::ScreenHeight() - 600},
                                  std::pair{rt::ScreenWidth() + 3000, rt::ScreenHeight() + 3000}}) {
    rt::SaveSetting("Brennavale", "Settings", "MainLeft", rt::CStr(left));
    rt::SaveSetting("Brennavale", "Settings", "MainTop", rt::CStr(top));
    MainForm->cmdCharts_Click();
    ASSERT_TRUE(WaitForPage());
    EXPECT_NEAR(Window().Width(), 490 * rt::TwipsPerPixelX(), rt::TwipsPerPixelX());
    EXPECT_NEAR(Window().Height(), 630 * rt::TwipsPerPixelY(), rt::TwipsPerPixelY());
    ExpectOnScreen(Window());
    // moved near the screen's right edge, the window sized again by the next page
    Window().Move(rt::ScreenWidth() - 1500, 0);
    Window().brwWebBrowser2_DownloadComplete();
    ExpectOnScreen(Window());
    Window().Unload();
  }
}

TEST_F(Browser, ClosingTheWindowEndsItsPageAndTheNextChartStartsFromBlank) {
  for (int round = 0; round < 2; ++round) {
    MainForm->cmdCharts_Click();
    ASSERT_TRUE(WaitForPage());
    ASSERT_NE(View(), nullptr);
    EXPECT_NE(View()->property("url").toString().toStdString().find("&symb=MSFT"), std::string::npos);
    QPointer<QObject> page = Page();
    ASSERT_FALSE(page.isNull());
    Window().Unload();
    // the page is gone with its scripts and requests; the control shows nothing
    EXPECT_TRUE(page.isNull()) << round;
    EXPECT_TRUE(View()->property("url").toUrl().isEmpty()) << round;
    EXPECT_FALSE(Window().IsLoaded());
  }
  // each chart was one navigation
  int charts = 0;
  for (const std::string& request : server.Requests())
    charts += peers::RequestLine(request).find("/interactivechart.asp") != std::string::npos;
  EXPECT_EQ(charts, 2);
}

namespace {
// Whether a shared library whose file name holds `part` is mapped into this process.
bool LibraryLoaded(const std::string& part) {
  std::ifstream maps("/proc/self/maps");
  std::stringstream all;
  all << maps.rdbuf();
  return all.str().find(part) != std::string::npos;
}
}  // namespace

using BrowserDeathTest = Browser;

// Start-up brings in neither the web engine nor an OpenGL driver; the first chart page brings the engine.
// Seen in a process of its own, which no earlier test has shown a page in.
TEST_F(BrowserDeathTest, TheWebEngineComesInOnlyWhenTheFirstPageOpens) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        int failures = 0;
        for (const char* library : {"WebEngineCore", "GLX_mesa", "EGL_mesa", "_dri.so", "libLLVM", "gallium"}) {
          if (LibraryLoaded(library)) {
            std::fprintf(stderr, "%s loaded at start-up\n", library);
            ++failures;
          }
        }
        MainForm->cmdCharts_Click();
        if (!LibraryLoaded("WebEngineCore")) {
          std::fprintf(stderr, "no web engine for the chart window\n");
          ++failures;
        }
        std::fflush(stderr);
        std::_Exit(failures);
      },
      ::testing::ExitedWithCode(0), "");
}

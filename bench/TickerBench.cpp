// The hot paths of the ticker table: one tick of the scrolling ticker with 999 entries, and loading and
// saving a ticker file of 999 rows. Run: build/bench/ticker_bench (offscreen).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "library/VYK_GetSystemInfos.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"
#include "platform/runtime/Form.h"

namespace {

void WriteTickerFile(const std::string& home, int rows) {
  std::filesystem::create_directories(home + "/download");
  std::ofstream out(home + "/download/TickerSettings.vyk", std::ios::binary);
  for (int i = 1; i <= rows; ++i) out << "\"T" << i << "\",\"" << i << ",5\",\"\",\"1\",\"00:00:00\"\r\n";
}

frmMain_Tollerwick& MainWindow() {
  static frmMain_Tollerwick* main = [] {
    Tollerwick_Main::MainForm = &rt::Default<frmMain_Tollerwick>();
    Tollerwick_Main::MainForm->Load();
    return Tollerwick_Main::MainForm;
  }();
  return *main;
}

void BM_TickerMove999(benchmark::State& state) {
  frmMain_Tollerwick& main = MainWindow();
  main.FillGrid(true);
  frmScrollTicker& strip = rt::Default<frmScrollTicker>();
  for (auto _ : state) strip.TickerMove();
  state.counters["entries"] = Tollerwick_Sub::TickerCount;
}

void BM_LoadTickerFile999(benchmark::State& state) {
  frmMain_Tollerwick& main = MainWindow();
  for (auto _ : state) main.FillGrid(false);
  state.counters["rows"] = static_cast<double>(main.FG3.Rows() - 2);
}

void BM_SaveTickerFile999(benchmark::State& state) {
  MainWindow().FillGrid(true);
  for (auto _ : state) Tollerwick_Sub::Save_TickerSettings();
}

}  // namespace

BENCHMARK(BM_TickerMove999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTickerFile999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTickerFile999)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  char tmpl[] = "/tmp/tollerwick-bench-XXXXXX";
  const std::string root = ::mkdtemp(tmpl);
  const std::string home = root + "/Tollerwick";
  std::filesystem::create_directories(home);
  std::filesystem::copy(TOLLERWICK_SOURCE_DIR "/resources/Common", root + "/Common",
                        std::filesystem::copy_options::recursive);
  ::setenv("TOLLERWICK_HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  WriteTickerFile(home, 999);
  QApplication app(argc, argv);
  VYK_GetSystemInfos::RegAppName = "Brennavale";
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  std::filesystem::remove_all(root);
  return 0;
}

// The hot paths of the ticker table, as the user pays for them: the main window and the scrolling ticker are
// shown, so every figure includes the painting it causes. Building the table of 999 tickers (goal: 100 ms),
// one tick of the strip with 999 entries (goal: 1 ms), loading and saving the ticker file of 999 rows
// (goal: 20 ms together). Run a release build: build-release/bench/ticker_bench (offscreen).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/BenchHome.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"
#include "platform/controls/Form.h"

namespace {

void WriteTickerFile(const std::string& home, int rows) {
  std::filesystem::create_directories(home + "/download");
  std::ofstream out(home + "/download/TickerSettings.vyk", std::ios::binary);
  for (int i = 1; i <= rows; ++i) out << "\"T" << i << "\",\"" << i << ",5\",\"\",\"1\",\"00:00:00\"\r\n";
}

// Counts the paintings of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  long paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The main window, shown, with the scrolling ticker switched on.
frmMain_Tollerwick& MainWindow() {
  static frmMain_Tollerwick* main = [] {
    Tollerwick_Main::MainForm = &rt::Default<frmMain_Tollerwick>();
    Tollerwick_Main::MainForm->Load();
    Tollerwick_Main::MainForm->Show();
    Tollerwick_Main::MainForm->chkScrollingTicker.SetValue(1);
    // the timer would move the strip in between: the benchmark moves it itself
    Tollerwick_Main::MainForm->TimerTicker1.SetEnabled(false);
    return Tollerwick_Main::MainForm;
  }();
  return *main;
}

void BM_FillGrid999StripShown(benchmark::State& state) {
  frmMain_Tollerwick& main = MainWindow();
  for (auto _ : state) main.FillGrid(true);
  state.counters["rows"] = static_cast<double>(main.FG3.Rows() - 2);
  state.counters["strip_shown"] = rt::Default<frmScrollTicker>().Visible();
}

void BM_TickerMove999(benchmark::State& state) {
  frmMain_Tollerwick& main = MainWindow();
  main.FillGrid(true);
  frmScrollTicker& strip = rt::Default<frmScrollTicker>();
  PaintCounter counter(strip.Container());
  for (auto _ : state) strip.TickerMove();
  state.counters["entries"] = Tollerwick_Sub::TickerCount;
  state.counters["strip_shown"] = strip.Visible();
  // every tick ends in the painting of the strip
  state.counters["paints_per_tick"] = static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
}

void BM_LoadAndSaveTickerFile999(benchmark::State& state) {
  frmMain_Tollerwick& main = MainWindow();
  main.chkScrollingTicker.SetValue(0);
  for (auto _ : state) {
    main.FillGrid(false);
    Tollerwick_Sub::Save_TickerSettings();
  }
  state.counters["rows"] = static_cast<double>(main.FG3.Rows() - 2);
  main.chkScrollingTicker.SetValue(1);
  main.TimerTicker1.SetEnabled(false);
}

}  // namespace

BENCHMARK(BM_FillGrid999StripShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickerMove999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSaveTickerFile999)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  BenchHome folder(true);
  WriteTickerFile(folder.home, 999);
  QApplication app(argc, argv);
  return BenchHome::Run(argc, argv);
}

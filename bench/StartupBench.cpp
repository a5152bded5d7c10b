// What the program costs before the user can work with it, measured in fresh processes (offscreen):
// - start-up to the end of Main with 5 tickers, less the splash wait, against a bare window started the
//   same way in the same run (goal: at most 2 times);
// - resident memory once the program idles with 999 tickers and the scrolling ticker shown (goal: 80 MB).
// Each process is this binary started again with "--child"; it runs the program's Main as the program
// does, on a clock that runs a million times fast and with the splash's waiting loop never idle, so the
// splash's three seconds take next to nothing.
// Run a release build: build-release/bench/startup_bench.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchHome.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/controls/Application.h"
#include "platform/runtime/Clock.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string g_root;
std::string g_runtime;
int g_report = -1;  // in a child: where it writes its figure

// ---- the children

void Report(double value) {
  const std::string line = std::to_string(value) + "\n";
  [[maybe_unused]] ssize_t n = ::write(g_report, line.data(), line.size());
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    long kb = 0;
    if (key == "VmRSS:" && status >> kb) return kb;
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

int BareWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(400, 300);
  window.show();
  QApplication::processEvents();
  Report(0);
  std::_Exit(0);
}

bool g_idle = false;

void ProgramMain() {
  rt::testing::SetNow(rt::Now());
  rt::testing::SetRate(1e6);
  // While the splash waits, something is always pending, so its loop never sleeps for an event: the splash
  // wait is then only the fast clock's, next to nothing.
  auto* busy = new QTimer(qApp);
  QObject::connect(busy, &QTimer::timeout, [busy] {
    if (!Tollerwick_Main::SplashRunning) busy->stop();
  });
  busy->start(0);
  Tollerwick_Main::Main();
  rt::testing::UseRealClock();
  if (!g_idle) {
    Report(0);
    std::_Exit(0);
  }
  // the user ticks "Scrolling Ticker"; two seconds later, how much memory is resident
  Tollerwick_Main::MainForm->chkScrollingTicker.SetValue(1);
  QTimer::singleShot(2000, [] {
    Report(static_cast<double>(ResidentKilobytes()) / 1024.0);
    std::_Exit(0);
  });
}

// ---- the parent

void PrepareHome(const std::string& home, int tickers) {
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home + "/Tollerwick/download");
  std::filesystem::copy(TOLLERWICK_SOURCE_DIR "/resources/Common", home + "/Common",
                        std::filesystem::copy_options::recursive);
  std::ofstream out(home + "/Tollerwick/download/TickerSettings.vyk", std::ios::binary);
  for (int i = 1; i <= tickers; ++i) out << "\"T" << i << "\",\"" << i << ",5\",\"\",\"1\",\"00:00:00\"\r\n";
}

// Starts this binary as a child of the given kind and returns the seconds until it reports, and its figure.
std::pair<double, double> RunChild(const std::string& kind, const std::string& home) {
  int fds[2];
  if (::pipe(fds) != 0) std::abort();
  const Clock::time_point start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::setenv("TOLLERWICK_HOME", (home + "/Tollerwick").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", g_runtime.c_str(), 1);
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 2);
    ::execl("/proc/self/exe", "startup_bench", "--child", kind.c_str(), fd.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[64];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
    text.append(buffer, static_cast<size_t>(n));
    if (text.find('\n') != std::string::npos) break;
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (text.empty()) return {-1, -1};
  return {seconds, std::atof(text.c_str())};
}

// The user's runtime folder is kept in memory in a desktop session (the lock of the running instance lives
// there): so is this one, when the machine offers a memory-backed folder.
void MakeRuntimeFolder() {
  if (!g_runtime.empty()) return;
  char shm[] = "/dev/shm/tollerwick-run-XXXXXX";
  char tmp[] = "/tmp/tollerwick-run-XXXXXX";
  const char* made = std::filesystem::is_directory("/dev/shm") ? ::mkdtemp(shm) : nullptr;
  if (!made) made = ::mkdtemp(tmp);
  g_runtime = made;
  std::filesystem::permissions(g_runtime, std::filesystem::perms::owner_all);
}

// Each turn starts a bare window and then the program; the figures are medians over the turns (the ratio:
// of each turn's own ratio), so that a turn the machine slowed down weighs no more than any other.
void BM_StartUpAgainstBareWindow(benchmark::State& state) {
  const std::string home = g_root + "/five";
  PrepareHome(home, 5);
  MakeRuntimeFolder();
  std::vector<double> bare, program, ratio;
  for (auto _ : state) {
    const double b = RunChild("bare", home).first;
    const double p = RunChild("program", home).first;
    if (b < 0 || p < 0) {
      state.SkipWithError("a child did not report");
      break;
    }
    bare.push_back(b);
    program.push_back(p);
    ratio.push_back(p / b);
    state.SetIterationTime(p);
  }
  if (ratio.empty()) return;
  state.counters["bare_ms"] = 1000 * Median(bare);
  state.counters["program_ms"] = 1000 * Median(program);
  state.counters["ratio"] = Median(ratio);
}

void BM_IdleMemory999(benchmark::State& state) {
  const std::string home = g_root + "/many";
  PrepareHome(home, 999);
  MakeRuntimeFolder();
  double megabytes = 0;
  for (auto _ : state) {
    const auto [seconds, mb] = RunChild("idle", home);
    if (seconds < 0) {
      state.SkipWithError("the child did not report");
      break;
    }
    megabytes = mb;
    state.SetIterationTime(seconds);
  }
  state.counters["resident_MB"] = megabytes;
}

}  // namespace

BENCHMARK(BM_StartUpAgainstBareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_IdleMemory999)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
    DropOffscreenRaiseWarnings();
    g_report = std::atoi(argv[3]);
    const std::string kind = argv[2];
    if (kind == "bare") return BareWindow(1, argv);
    g_idle = kind == "idle";
    int one = 1;
    return rt::Run(one, argv, &ProgramMain);
  }
  char tmpl[] = "/tmp/tollerwick-startup-XXXXXX";
  g_root = ::mkdtemp(tmpl);
  RunWithLoadAverage(&argc, argv);
  std::filesystem::remove_all(g_root);
  if (!g_runtime.empty()) std::filesystem::remove_all(g_runtime);
  return 0;
}

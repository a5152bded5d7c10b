#pragma once
// What every benchmark program sets up: a program folder of its own in a new temporary folder, with a copy
// of the shared folder beside it (when asked) and its own settings store, offscreen windows; then the
// benchmarks, and the folder removed again.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/VYK_GetSystemInfos.h"

// The offscreen windows have no stacking order: raising one (as every Show does) makes the platform print
// a warning, which a desktop does not. The benchmarks measure what the user pays, so that warning is
// dropped before it is written; every other message goes out as usual.
inline void DropOffscreenRaiseWarnings() {
  static QtMessageHandler passOn = nullptr;
  passOn = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message == QLatin1String("This plugin does not support raise()")) return;
    passOn(type, context, message);
  });
}

// The middle of the figures: a turn that met a busy moment of a shared machine moves it little.
inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The machine's load average (1, 5 and 15 minutes), as the figures must be read beside it: a busy
// machine's figures are not a quiet one's.
inline std::string LoadAverage() {
  std::string one, five, fifteen;
  std::ifstream in("/proc/loadavg");
  in >> one >> five >> fifteen;
  return in ? one + " " + five + " " + fifteen : std::string("unknown");
}

// Runs the benchmarks the command line names. The run's context gives the load average before them; after
// them it goes on a line of its own, so that the figures stand between the two.
inline void RunWithLoadAverage(int* argc, char** argv) {
  ::benchmark::Initialize(argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  std::printf("load average at the end: %s\n", LoadAverage().c_str());
}

struct BenchHome {
  std::string root;  // the temporary folder
  std::string home;  // the program folder in it

  explicit BenchHome(bool withCommon) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    DropOffscreenRaiseWarnings();
    char tmpl[] = "/tmp/tollerwick-bench-XXXXXX";
    root = ::mkdtemp(tmpl);
    home = root + "/Tollerwick";
    std::filesystem::create_directories(home + "/download");
    if (withCommon)
      std::filesystem::copy(TOLLERWICK_SOURCE_DIR "/resources/Common", root + "/Common",
                            std::filesystem::copy_options::recursive);
    ::setenv("TOLLERWICK_HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  }
  ~BenchHome() { std::filesystem::remove_all(root); }
  BenchHome(const BenchHome&) = delete;
  BenchHome& operator=(const BenchHome&) = delete;

  // Runs the benchmarks the command line names (all of them without a filter); the application object
  // must exist.
  static int Run(int argc, char** argv) {
    VYK_GetSystemInfos::RegAppName = "Brennavale";
    RunWithLoadAverage(&argc, argv);
    return 0;
  }
};

#include "library/VYK_Library.h"

#include <chrono>
#include <thread>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"

namespace VYK_Library {
namespace {

// How long a step refused with "Permission denied" (a file another program holds) is tried again, and
// the pause between two tries.
constexpr double kRetrySeconds = 2.0;
constexpr auto kRetryPause = std::chrono::milliseconds(20);
// A clock that goes back by more than this has been set back; waits measured on it end.
constexpr double kClockSetBack = -1.0;
// The input is read in blocks of this many characters.
constexpr long kBlock = 1 << 16;

// Runs the statement; while it is refused with error 70 it runs again after a short pause, until
// kRetrySeconds have passed, and then the refusal is raised like any other failure. No events run in
// between: the reduction pumps none. The clock is read only once a step has been refused.
template <class Statement>
void RetryWhileDenied(Statement& statement) {
  double start = 0;
  bool refused = false;
  for (;;) {
    try {
      statement();
      return;
    } catch (const rt::Error& e) {
      if (e.Number() != rt::errPermissionDenied) throw;
      if (!refused) {
        refused = true;
        start = rt::SecondsClock();
      }
      const double elapsed = rt::SecondsClock() - start;
      if (elapsed >= kRetrySeconds || elapsed < kClockSetBack) throw;
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

// One step of the reduction under the routine's trap: logged when it fails, and the caller goes on.
template <class Statement>
bool Step(Trap& trap, Statement&& statement) {
  return trap([&] { RetryWhileDenied(statement); });
}

// The run with "&amp;" turned into "&" and "&nbsp;" removed, over and over until neither is left. The two
// patterns cannot overlap, so the order of the replacements does not change the result, and one pass from
// the left that looks back at each ";" gives it: what lies before the ";" has no pattern left in it.
std::string Decoded(const std::string& run) {
  std::string out;
  out.reserve(run.size());
  for (const char c : run) {
    out.push_back(c);
    if (c != ';') continue;
    const size_t n = out.size();
    if (n >= 5 && out.compare(n - 5, 5, "&amp;") == 0)
      out.resize(n - 4);
    else if (n >= 6 && out.compare(n - 6, 6, "&nbsp;") == 0)
      out.resize(n - 6);
  }
  return out;
}

// Decodes the run and writes it as one line, unless nothing is left of it.
void WriteRun(Trap& trap, int fileOut, const std::string& text) {
  std::string run = text.find('&') == std::string::npos ? text : Decoded(text);
  if (run.empty()) return;
  if (run.compare(0, 9, "Copyright") == 0) run = "Copyright";
  Step(trap, [&] { rt::Print(fileOut, {run}); });
}

// The input file, read block by block; each read is one step of the routine. A read that failed once
// fails again for every one that follows, so the input then counts as ended.
class Input {
 public:
  Input(Trap& trap, int file) : trap_(trap), file_(file) {}

  // The next character; false at the end of the input.
  bool Next(char& c) {
    if (pos_ == block_.size() && !Fill()) return false;
    c = block_[pos_++];
    return true;
  }
  // Passes over everything up to and including the next ">"; false when the input ends first.
  bool SkipTag() {
    for (;;) {
      const size_t close = block_.find('>', pos_);
      if (close != std::string::npos) {
        pos_ = close + 1;
        return true;
      }
      pos_ = block_.size();
      if (!Fill()) return false;
    }
  }

 private:
  bool Fill() {
    block_.clear();
    pos_ = 0;
    if (ended_) return false;
    ended_ = !Step(trap_, [&] {
      if (!rt::Eof(file_)) block_ = rt::InputChars(file_, kBlock);
    });
    ended_ = ended_ || block_.empty();
    return !ended_;
  }

  Trap& trap_;
  int file_;
  std::string block_;
  size_t pos_ = 0;
  bool ended_ = false;
};

}  // namespace

void StripPage(const std::string& inFile, const std::string& outFile) {
  Trap trap{"StripPage of Modul VYK_Library"};
  const std::string folder = VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/";

  // A number is kept only once its file is open: after a failed open the next free number may be the other
  // file's, and it must be neither read nor closed twice.
  int fileIn = 0;
  int fileOut = 0;
  Step(trap, [&] {
    const int f = rt::FreeFile();
    rt::Open(folder + inFile, rt::OpenMode::Input, f);
    fileIn = f;
  });
  Step(trap, [&] {
    const int f = rt::FreeFile();
    rt::Open(folder + outFile, rt::OpenMode::Output, f);
    fileOut = f;
  });

  // Without both files every step would fail the same way; the one report of the open is enough.
  if (fileIn && fileOut) {
    Input input(trap, fileIn);
    std::string run;
    char c = 0;
    while (input.Next(c)) {
      if (c != '<') {
        run.push_back(c == '\n' ? ' ' : c);
        continue;
      }
      WriteRun(trap, fileOut, run);
      run.clear();
      if (!input.SkipTag()) break;  // a tag that never closes ends the page
    }
    // whatever follows the last tag is not a run
  }

  if (fileIn) Step(trap, [&] { rt::Close(fileIn); });
  if (fileOut) Step(trap, [&] { rt::Close(fileOut); });
}

void Wait(int seconds) {
  Trap trap{"Wait of Modul VYK_Library"};
  trap([&] {
    const double start = rt::SecondsClock();
    for (;;) {
      // The clock counts on across midnight; only a clock set back makes the difference negative, and such
      // a wait ends rather than lasting until the clock catches up.
      const double elapsed = rt::SecondsClock() - start;
      if (elapsed >= seconds || elapsed < kClockSetBack) break;
      rt::DoEventsWaiting();
    }
  });
  trap([] { rt::DoEvents(); });
}

}  // namespace VYK_Library

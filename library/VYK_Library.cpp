#include "library/VYK_Library.h"

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"

namespace VYK_Library {
namespace {

// How long a step refused with "Permission denied" (a file another program holds) is tried again.
constexpr double kRetrySeconds = 2.0;
// A clock that goes back by more than this has been set back; waits measured on it end.
constexpr double kClockSetBack = -1.0;

// Runs the statement; while it is refused with error 70 it runs again, with events pumped in between, until
// kRetrySeconds have passed, and then the refusal is raised like any other failure.
template <class Statement>
void RetryWhileDenied(Statement& statement) {
  const double start = rt::SecondsClock();
  for (;;) {
    try {
      statement();
      return;
    } catch (const rt::Error& e) {
      if (e.Number() != rt::errPermissionDenied) throw;
      const double elapsed = rt::SecondsClock() - start;
      if (elapsed >= kRetrySeconds || elapsed < kClockSetBack) throw;
    }
    rt::DoEventsWaiting();
  }
}

// One step of the reduction under the routine's trap: logged when it fails, and the caller goes on.
template <class Statement>
bool Step(Trap& trap, Statement&& statement) {
  return trap([&] { RetryWhileDenied(statement); });
}

// Decodes the run and writes it as one line, unless nothing is left of it.
void WriteRun(Trap& trap, int fileOut, std::string run) {
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
    Step(trap, [&] { rt::Print(fileOut, {run}); });
    return;
  }
}

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
    std::string c;
    // The next character into c; false at the end of the input, or when it cannot be read (a read that
    // failed once fails again for every character that follows, so the reduction ends there).
    auto read = [&] {
      c.clear();
      return Step(trap, [&] {
               if (!rt::Eof(fileIn)) c = rt::InputChars(fileIn, 1);
             }) &&
             !c.empty();
    };

    std::string run;
    while (read()) {
      if (c != "<") {
        run += c == "\n" ? std::string(" ") : c;
        continue;
      }
      WriteRun(trap, fileOut, run);
      run.clear();
      while (read() && c != ">") {
      }
      if (c != ">") break;  // a tag that never closes ends the page
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

#pragma once
// The one way out of the program: every address, document or program that the program hands to the desktop
// (the user's browser, mail program, text editor, or a program it names) goes through Launch. Tests put a
// recorder in its place, so that a test run starts nothing outside itself.

#include <functional>
#include <string>
#include <vector>

namespace rt {

struct Launched {
  enum Kind {
    Address,   // an address (http:, mailto:, ...), opened by the program the desktop uses for its scheme
    Document,  // a file of this machine, opened by the program the desktop uses for its type
    Program,   // a program started with its arguments; no shell reads them
  };
  Kind kind;
  std::string target;
  std::vector<std::string> arguments;

  bool operator==(const Launched&) const = default;
};

// Hands the request to the desktop; true when it was taken (a program could be found for it).
bool Launch(const Launched& request);

namespace testing {
// Replaces what Launch does; an empty function gives the desktop back.
void SetLauncher(std::function<bool(const Launched&)> launcher);
// Puts a recorder in Launch's place: every request is noted and answered with `answer`.
void RecordLaunches(bool answer = true);
// What the recorder has noted, oldest first.
std::vector<Launched>& Launches();
}  // namespace testing

}  // namespace rt

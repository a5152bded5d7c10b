#pragma once
// The three ways a procedure of this program handles its errors, each one visible line at the place:
//
//   Trap trap{"Main of Modul Tollerwick_Main"};
//   trap([&] { ... });               // log and go on with the next statement
//   if (!trap([&] { ... })) return;  // log and end
//   Skip([&] { ... });               // skip silently
//
// A report goes to WriteErrorLog with the program's product name, the error-report text, the line number,
// the error's number and description; `values` then adds the WriteLogValues line the file and registry
// routines write; `pump` lets pending events run once after the report, as most event handlers do.

#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/runtime/Program.h"
#include "platform/runtime/Variant.h"

struct Trap {
  // A procedure's name as written in the program is kept as it is: most traps report nothing, and an
  // update cycle sets several up for every row.
  explicit Trap(const char* where_, bool show_ = true) : show(show_), written(where_) {}
  explicit Trap(std::string where_, bool show_ = true) : show(show_), made(std::move(where_)) {}

  std::string Where() const { return written ? std::string(written) : made; }

  bool show = true;
  bool pump = false;
  long line = 0;
  std::function<void()> values;

  // Runs one statement (or a block); true when it ran through, false when it failed and was reported.
  template <class Statement>
  bool operator()(Statement&& statement) {
    try {
      statement();
      return true;
    } catch (const rt::EndOfProcess&) {
      throw;
    } catch (...) {
      Report(std::current_exception());
      return false;
    }
  }

  void Report(std::exception_ptr thrown) const;

 private:
  const char* written = nullptr;
  std::string made;
};

// The trap of most event handlers: log, let pending events run once, and end. `where` is a name written
// in the program (kept as it is) or one made at run time.
template <class Name>
Trap HandlerTrap(Name where) {
  Trap trap(std::move(where));
  trap.pump = true;
  return trap;
}

// Runs a statement and ignores its failure.
template <class Statement>
void Skip(Statement&& statement) {
  try {
    statement();
  } catch (const rt::EndOfProcess&) {
    throw;
  } catch (...) {
  }
}

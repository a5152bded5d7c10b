#pragma once
// The program itself: its folder, names and version.

#include <string>

namespace rt {

struct AppObject {
  // The program folder: the folder of the executable, or TOLLERWICK_HOME when that is set.
  std::string Path() const;
  // The executable's file name without folder.
  std::string EXEName() const;
  // The program's title and the product name of its version information.
  std::string Title = "Brennavale";
  std::string ProductName = "Brennavale";
  int Major;
  int Minor;
  int Revision;
  // The program's instance handle.
  long hInstance() const { return 0x400000; }
  // True when another instance of the program runs for this user.
  bool PrevInstance() const;
  AppObject();
};

extern AppObject App;

}  // namespace rt

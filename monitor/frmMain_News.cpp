// The main window's news: the news file read into the news table.

#include <algorithm>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"

void frmMain_Tollerwick::Load_News() {
  using namespace Tollerwick_Sub;
  int f = 0;
  Trap trap{"Load_News of Formular frmMain_Tollerwick"};
  trap([&] {
    f = rt::FreeFile();
    rt::Open(VYK_File_Dir::sFixDirString(rt::App.Path()) + "download/News100.vyk", rt::OpenMode::Input, f);
    if (rt::Lof(f) == 0) return;
    const std::string header = rt::LineInput(f);
    if (rt::Left(header, 3) != "vyk" || rt::Eof(f)) {
      RtbNews1.SetText("Error in News Download");
      return;
    }
    const std::string date = rt::Right(header, 8);
    const std::string count = rt::Trim(rt::LineInput(f));
    if (!rt::IsNumeric(count)) {
      RtbNews1.SetText("Error in News Download");
      return;
    }
    // the table holds 24 items: a longer list is cut there, so the rotation never reaches past the table
    NewsCount = std::min<int>(rt::CInt(count), static_cast<int>(NewsTable.size()));
    for (int i = 0; i < NewsCount; ++i) {
      NewsTable[i] = "VYK News -- " + date + rt::vbCrLf;
      std::string text;
      for (std::string line = rt::LineInput(f); line != "###"; line = rt::LineInput(f)) {
        // no more is read of an item than is kept of it
        if (text.size() < kLongestServerText) text += line.substr(0, kLongestServerText - text.size() + 1);
      }
      NewsTable[i] += Bounded(text);
    }
  });
  Skip([&] {
    if (f) rt::Close(f);
  });
}

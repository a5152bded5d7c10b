#include "library/VYK_Language.h"

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"

namespace VYK_Language {

TextTable LanguageText;
std::string Language;

const std::string& TextTable::operator()(long number) const {
  if (number < 0 || number > UBound()) rt::Raise(rt::errSubscript);
  return texts_[static_cast<size_t>(number)];
}

void TextTable::Grow(long number) {
  if (number > UBound()) texts_.resize(static_cast<size_t>(number) + 1);
}

void TextTable::Set(long number, const std::string& text) {
  if (number < 0 || number > UBound()) rt::Raise(rt::errSubscript);
  texts_[static_cast<size_t>(number)] = text;
}

bool set_language(std::string& fileName) {
  bool result = false;
  int f = 0;
  Trap trap{"set_language of Modul VYK_Language"};
  const bool loaded = trap([&] {
    long highest = 0;
    f = rt::FreeFile();
    std::string path = VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/language/" + fileName;
    if (!VYK_File_Dir::FileExists(path)) {
      f = 0;
      rt::MsgBox("The language file " + fileName + " is missing!" + rt::vbCrLf +
                     "Please install the vyk language package." + rt::vbCrLf + "The program will be terminated now.",
                 rt::mbSystemModal);
      rt::DoEvents();
      return;
    }
    rt::Open(path, rt::OpenMode::Input, f);
    while (!rt::Eof(f)) {
      const std::string line = rt::Trim(rt::LineInput(f));
      if (line.empty() || line[0] != 'T') continue;
      const long tab = rt::InStr(line, "\t");
      if (tab == 0 || tab == rt::Len(line)) continue;
      const long number = rt::CInt(rt::Mid(line, 2, 4));
      if (number > highest) {
        highest = number;
        LanguageText.Grow(number);
      }
      LanguageText.Set(number, rt::Trim(rt::Mid(line, tab + 1)));
    }
    rt::Close(f);
    f = 0;
    result = true;
  });
  if (!loaded && f) Skip([&] { rt::Close(f); });
  return result;
}

}  // namespace VYK_Language

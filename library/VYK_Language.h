#pragma once
// The numbered user-interface texts of one language, loaded once from <language>.lng in the shared folder.

#include <string>
#include <vector>

namespace VYK_Language {

// Entry n is text number n; numbers no line sets read as "". Reading beyond the highest number loaded
// raises 9 (Subscript out of range), as the run time's arrays do.
class TextTable {
 public:
  const std::string& operator()(long number) const;
  long UBound() const { return static_cast<long>(texts_.size()) - 1; }
  bool Empty() const { return texts_.empty(); }
  // Grows the table to 0 .. number, keeping what it holds.
  void Grow(long number);
  void Set(long number, const std::string& text);
  void Clear() { texts_.clear(); }

 private:
  std::vector<std::string> texts_;
};

extern TextTable LanguageText;
// The language name (per-user setting "Language", default "english").
extern std::string Language;

// Loads the file; true after a complete load, false when it is missing (after telling the user) or a
// text line cannot be stored (after logging it).
bool set_language(std::string& fileName);

}  // namespace VYK_Language

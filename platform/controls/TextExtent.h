#pragma once
// How much room a text takes on the screen in a control's font.

#include <string>

namespace rt {

class Control;

struct Extent {
  double width = 0;
  double height = 0;
};

// The width and height (twips) of `text` in the control's font, its lines broken at blanks to fit
// `width` (twips); a word wider than that makes the text wider.
Extent TextExtent(Control& control, const std::string& text, double width);

}  // namespace rt

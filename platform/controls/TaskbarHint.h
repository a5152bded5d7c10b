#pragma once
// What a window says to the desktop beyond what the toolkit says for it: that it has no place in the
// taskbar or the pager (a strip that only the program places).

class QWidget;

namespace rt::detail {

// Marks the top-level `window`, before it is shown, to be left out of the taskbar and the pager. Does
// nothing where the program does not run on X.
void KeepOutOfTaskbar(QWidget* window);

}  // namespace rt::detail

#pragma once
// What the program tells the desktop beyond what the toolkit does: that a window has no place in the
// taskbar. Nothing of it where the program does not run on X.

class QWidget;

namespace rt::detail {

// Marks the top-level `window`, before it is shown, to be left out of the taskbar and the pager.
void KeepOutOfTaskbar(QWidget* window);

}  // namespace rt::detail

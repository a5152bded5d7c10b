#pragma once
// Taking the Close command out of a window's system menu, which also turns off its close button.

namespace VYK_API_Shell {

void RemoveCloseButton(long hWnd);

}  // namespace VYK_API_Shell

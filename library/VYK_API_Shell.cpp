#include "library/VYK_API_Shell.h"

#include "library/ErrorTrap.h"
#include "platform/win32/User.h"

namespace VYK_API_Shell {

void RemoveCloseButton(long hWnd) {
  Trap trap{"RemoveCloseButton of Modul VYK_API_Shell"};
  long menu = 0;
  trap([&] { menu = win32::GetSystemMenu(hWnd, 0); });
  // the positions of Close and of the separator above it in the standard system menu
  trap([&] { win32::RemoveMenu(menu, 6, win32::MF_BYPOSITION); });
  trap([&] { win32::RemoveMenu(menu, 5, win32::MF_BYPOSITION); });
}

}  // namespace VYK_API_Shell

#include "library/VYK_Capture.h"

#include "library/ErrorTrap.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Program.h"
#include "platform/win32/User.h"

namespace VYK_Capture {

bool Capture_Desktop(std::string path) {
  bool saved = false;
  HandlerTrap("Capture_Desktop of Modul VYK_Capture")([&] {
    rt::DoEvents();
    // the Print Screen key with scan code 1 copies the whole screen
    win32::keybd_event(win32::VK_SNAPSHOT, 1, 0, 0);
    rt::DoEvents();
    rt::SaveClipboardPicture(path);
    saved = true;
  });
  return saved;
}

}  // namespace VYK_Capture

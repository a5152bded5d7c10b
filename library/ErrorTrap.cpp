#include "library/ErrorTrap.h"

#include "library/VYK_ErrorLog.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"

void Trap::Report(std::exception_ptr thrown) const {
  const rt::Error e = rt::ToError(thrown);
  Skip([&] {
    VYK_ErrorLog::WriteErrorLog(show, rt::App.ProductName, Where(), line, e.Number(), e.Description());
    if (values) values();
  });
  if (pump) rt::DoEvents();
}

#include "platform/runtime/Handles.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>

namespace rt {
namespace {
// Kept for the whole process, also while static objects are destroyed at its end.
std::map<long, QPointer<QWidget>>& Table() {
  static auto* table = new std::map<long, QPointer<QWidget>>;
  return *table;
}
long g_next = 0x10010;
}  // namespace

long HandleOf(QWidget* widget) {
  if (!widget) return 0;
  const QVariant v = widget->property("rt_handle");
  if (v.isValid()) return v.toLongLong();
  const long h = g_next;
  g_next += 4;
  widget->setProperty("rt_handle", static_cast<qlonglong>(h));
  Table()[h] = widget;
  QObject::connect(widget, &QObject::destroyed, [h] { Table().erase(h); });
  return h;
}

QWidget* WidgetOf(long handle) {
  auto it = Table().find(handle);
  return it == Table().end() ? nullptr : it->second.data();
}

}  // namespace rt

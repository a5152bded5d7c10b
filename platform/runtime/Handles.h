#pragma once
// Window handles: small numbers that name the layer's windows and controls, as the system calls expect.

class QWidget;

namespace rt {

// The handle of a widget (given on first request, kept while the widget lives).
long HandleOf(QWidget* widget);
// The widget a handle names, or nullptr.
QWidget* WidgetOf(long handle);

}  // namespace rt

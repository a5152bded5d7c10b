#pragma once
// The web engine behind the web browser control. It lives in a module of its own, which the layer loads
// when the first browser control needs it: until then neither the engine nor the drawing libraries it
// brings (OpenGL and its driver) are in the process.

#include <functional>

class QWidget;
class QString;

namespace rt {

// One page view inside a browser control's area.
class WebEngineView {
 public:
  virtual ~WebEngineView() = default;
  virtual void Load(const QString& address) = 0;
  virtual QString Url() const = 0;
  // Ends the page on show (its scripts, requests and sounds) and leaves the view empty.
  virtual void Blank() = 0;
};

// The module's one entry: a view filling `area`, reporting the begin and the end of every download.
using CreateWebEngineViewFunction = WebEngineView* (*)(QWidget* area, std::function<void()> begin,
                                                       std::function<void()> complete);
inline constexpr const char* kCreateWebEngineView = "tollerwick_create_web_engine_view";

}  // namespace rt

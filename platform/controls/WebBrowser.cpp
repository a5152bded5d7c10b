#include "platform/controls/WebBrowser.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>

#include "platform/controls/WebEngine.h"
#include "platform/runtime/Error.h"

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace rt {
namespace {

bool g_loaded = false;

// The engine draws with OpenGL and shares its textures with the windows through one context for the whole
// process. Made here, just before the engine comes in, rather than at start-up. As at start-up, the context
// is kept also when the platform cannot make it (the engine then draws without OpenGL): the engine reads it.
void ShareDrawingContexts() {
  if (qt_gl_global_share_context()) return;
  auto* context = new QOpenGLContext(QCoreApplication::instance());
  context->create();
  qt_gl_set_global_share_context(context);
}

CreateWebEngineViewFunction LoadEngine() {
  ShareDrawingContexts();
  QStringList places{QCoreApplication::applicationDirPath() + "/" TOLLERWICK_WEB_ENGINE_MODULE_NAME};
#ifdef TOLLERWICK_WEB_ENGINE_MODULE_BUILT
  places << TOLLERWICK_WEB_ENGINE_MODULE_BUILT;
#endif
  for (const QString& place : places) {
    QLibrary module(place);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    if (!module.load()) continue;
    if (auto create = reinterpret_cast<CreateWebEngineViewFunction>(module.resolve(kCreateWebEngineView))) {
      g_loaded = true;
      return create;
    }
  }
  return nullptr;
}

}  // namespace

WebBrowser::WebBrowser(Form& owner, std::string name) : Control(owner, std::move(name)) {
  Attach(new QWidget());
}

WebBrowser::~WebBrowser() = default;

WebEngineView& WebBrowser::View() {
  if (!view_) {
    static const CreateWebEngineViewFunction create = LoadEngine();
    if (!create) Raise(429, "ActiveX component can't create object");
    view_.reset(create(
        widget_, [this] { Fire(DownloadBegin); }, [this] { Fire(DownloadComplete); }));
  }
  return *view_;
}

void WebBrowser::Navigate(const std::string& address) {
  Touch();
  View().Load(QString::fromStdString(address));
}

void WebBrowser::Blank() {
  Touch();
  // before the first page there is nothing to end, and no engine to load for it
  if (view_) view_->Blank();
}

std::string WebBrowser::LocationURL() {
  Touch();
  if (!view_) return {};
  return view_->Url().toStdString();
}

bool testing::WebEngineLoaded() {
  return g_loaded;
}

}  // namespace rt

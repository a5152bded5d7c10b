#include "platform/controls/WebBrowser.h"

#include <QUrl>
#include <QWebEngineView>

namespace rt {

WebBrowser::WebBrowser(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* view = new QWebEngineView();
  Attach(view);
  QObject::connect(view, &QWebEngineView::loadStarted, [this] { Fire(DownloadBegin); });
  QObject::connect(view, &QWebEngineView::loadFinished, [this](bool) { Fire(DownloadComplete); });
}

void WebBrowser::Navigate(const std::string& address) {
  Touch();
  static_cast<QWebEngineView*>(widget_)->load(QUrl::fromUserInput(QString::fromStdString(address)));
}

std::string WebBrowser::LocationURL() {
  Touch();
  return static_cast<QWebEngineView*>(widget_)->url().toString().toStdString();
}

}  // namespace rt

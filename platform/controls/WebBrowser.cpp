#include "platform/controls/WebBrowser.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
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

void WebBrowser::Blank() {
  Touch();
  auto* view = static_cast<QWebEngineView*>(widget_);
  // a fresh page in the old one's place, and the old page gone with all it runs
  QPointer<QWebEnginePage> old = view->page();
  view->setPage(new QWebEnginePage(old->profile(), view));
  delete old.data();
}

std::string WebBrowser::LocationURL() {
  Touch();
  return static_cast<QWebEngineView*>(widget_)->url().toString().toStdString();
}

}  // namespace rt

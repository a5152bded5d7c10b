// The web engine module: the only code that links the web engine. Loaded by the web browser control on
// first use.

#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/controls/WebEngine.h"

namespace {

class View : public rt::WebEngineView {
 public:
  View(QWidget* area, std::function<void()> begin, std::function<void()> complete) : view_(new QWebEngineView(area)) {
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    QObject::connect(view_, &QWebEngineView::loadStarted, [begin = std::move(begin)] { begin(); });
    QObject::connect(view_, &QWebEngineView::loadFinished, [complete = std::move(complete)](bool) { complete(); });
  }
  void Load(const QString& address) override { view_->load(QUrl::fromUserInput(address)); }
  QString Url() const override { return view_->url().toString(); }
  void Blank() override {
    // a fresh page in the old one's place, and the old page gone with all it runs
    QPointer<QWebEnginePage> old = view_->page();
    view_->setPage(new QWebEnginePage(old->profile(), view_));
    delete old.data();
  }

 private:
  // owned by the control's area, which goes with the control
  QWebEngineView* view_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) rt::WebEngineView* tollerwick_create_web_engine_view(
    QWidget* area, std::function<void()> begin, std::function<void()> complete) {
  return new View(area, std::move(begin), std::move(complete));
}

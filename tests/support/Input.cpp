#include "tests/support/Input.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

void Send(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(widget, &release);
}

}  // namespace

void TypeKeys(QWidget* widget, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const QString character = text.mid(i, pair ? 2 : 1);
    const QChar c = character.at(0);
    // a letter or digit of ASCII has its own key; any other character comes with no key of its own
    const int key = c.unicode() < 0x80 && c.isLetterOrNumber() ? c.toUpper().unicode() : 0;
    Send(widget, key, Qt::NoModifier, character);
    if (pair) ++i;
  }
}

void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) { Send(widget, key, modifiers, {}); }

void CaretTo(QWidget* widget, int position) {
  PressKey(widget, Qt::Key_Home);
  for (int i = 0; i < position; ++i) PressKey(widget, Qt::Key_Right);
}

void ClickOn(QWidget* widget) {
  const QPointF at = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

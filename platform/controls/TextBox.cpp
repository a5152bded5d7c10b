#include "platform/controls/TextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/controls/ControlSupport.h"

namespace rt {

using namespace detail;

TextBox::TextBox(Form& owner, std::string name, bool multiLine) : Control(owner, std::move(name)), multiLine_(multiLine) {
  if (multiLine_) {
    auto* e = new QPlainTextEdit();
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Attach(e);
    QObject::connect(e, &QPlainTextEdit::textChanged, [this] {
      // textChanged also follows changes from code, which SetText reports itself
      const std::string now = WithCrLf(static_cast<QPlainTextEdit*>(widget_)->toPlainText());
      if (now == lastText_) return;
      lastText_ = now;
      Fire(Change);
    });
  } else {
    auto* e = new QLineEdit();
    Attach(e);
    QObject::connect(e, &QLineEdit::textEdited, [this] {
      lastText_ = S(static_cast<QLineEdit*>(widget_)->text());
      Fire(Change);
    });
    QObject::connect(e, &QLineEdit::editingFinished, [this] { Fire(LostFocus); });
  }
}
std::string TextBox::Text() {
  Touch();
  if (multiLine_) return WithCrLf(static_cast<QPlainTextEdit*>(widget_)->toPlainText());
  return S(static_cast<QLineEdit*>(widget_)->text());
}
void TextBox::SetText(const std::string& text) {
  Touch();
  if (text == Text()) return;
  lastText_ = text;
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    const QSignalBlocker block(e);
    e->setPlainText(Q(text));
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    e->setText(Q(text));
    // a text set by the program shows its start, the caret before the first character
    e->setCursorPosition(0);
  }
  Fire(Change);
}
int TextBox::MaxLength() {
  Touch();
  if (multiLine_) return 0;
  const int m = static_cast<QLineEdit*>(widget_)->maxLength();
  return m >= 32767 ? 0 : m;
}
void TextBox::SetMaxLength(int length) {
  Touch();
  if (!multiLine_) static_cast<QLineEdit*>(widget_)->setMaxLength(length > 0 ? length : 32767);
}
bool TextBox::Locked() {
  Touch();
  if (multiLine_) return static_cast<QPlainTextEdit*>(widget_)->isReadOnly();
  return static_cast<QLineEdit*>(widget_)->isReadOnly();
}
void TextBox::SetLocked(bool locked) {
  Touch();
  if (multiLine_)
    static_cast<QPlainTextEdit*>(widget_)->setReadOnly(locked);
  else
    static_cast<QLineEdit*>(widget_)->setReadOnly(locked);
}
void TextBox::SetPasswordChar(const std::string& c) {
  Touch();
  if (!multiLine_)
    static_cast<QLineEdit*>(widget_)->setEchoMode(c.empty() ? QLineEdit::Normal : QLineEdit::Password);
}
long TextBox::SelStart() {
  Touch();
  if (multiLine_) return static_cast<QPlainTextEdit*>(widget_)->textCursor().selectionStart();
  auto* e = static_cast<QLineEdit*>(widget_);
  return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void TextBox::SetSelStart(long start) {
  Touch();
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(static_cast<int>(start));
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setCursorPosition(static_cast<int>(start));
  }
}
long TextBox::SelLength() {
  Touch();
  if (multiLine_) {
    const QTextCursor c = static_cast<QPlainTextEdit*>(widget_)->textCursor();
    return c.selectionEnd() - c.selectionStart();
  }
  return static_cast<QLineEdit*>(widget_)->selectedText().size();
}
void TextBox::SetSelLength(long length) {
  Touch();
  const long start = SelStart();
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setSelection(static_cast<int>(start), static_cast<int>(length));
  }
}
void TextBox::SetAlignment(int alignment) {
  Touch();
  if (multiLine_) return;
  const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  static_cast<QLineEdit*>(widget_)->setAlignment(a | Qt::AlignVCenter);
}
void TextBox::Reset() {
  Control::Reset();
  lastText_.clear();
  const QSignalBlocker block(widget_);
  if (multiLine_) {
    static_cast<QPlainTextEdit*>(widget_)->setPlainText({});
    static_cast<QPlainTextEdit*>(widget_)->setReadOnly(false);
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    e->setText({});
    e->setReadOnly(false);
    e->setEchoMode(QLineEdit::Normal);
    e->setMaxLength(32767);
  }
}

// ---- RichTextBox

RichTextBox::RichTextBox(Form& owner, std::string name) : Control(owner, std::move(name)) {
  auto* e = new QTextEdit();
  e->setAcceptRichText(false);
  Attach(e);
}
std::string RichTextBox::Text() {
  Touch();
  return WithCrLf(static_cast<QTextEdit*>(widget_)->toPlainText());
}
void RichTextBox::SetText(const std::string& text) {
  Touch();
  if (text == Text()) return;
  static_cast<QTextEdit*>(widget_)->setPlainText(Q(text));
  Fire(Change);
}
void RichTextBox::SetLocked(bool locked) {
  Touch();
  static_cast<QTextEdit*>(widget_)->setReadOnly(locked);
}
void RichTextBox::Reset() {
  Control::Reset();
  const QSignalBlocker block(widget_);
  static_cast<QTextEdit*>(widget_)->clear();
}

}  // namespace rt

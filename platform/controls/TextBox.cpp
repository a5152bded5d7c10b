#include "platform/controls/TextBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/controls/ControlSupport.h"

namespace rt {

using namespace detail;

namespace {
// The text as a box shows it.
QString Shown(QWidget* widget, bool multiLine) {
  if (multiLine) return static_cast<QPlainTextEdit*>(widget)->toPlainText();
  return static_cast<QLineEdit*>(widget)->text();
}
}  // namespace

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
  // What the box shows may differ from what it was given (a length limit, bytes that are no UTF-8): only a
  // change of what it shows is a change, so that a handler that sets the same text again ends.
  const QString shown = Shown(widget_, multiLine_);
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
  if (Shown(widget_, multiLine_) == shown) return;
  lastText_ = Text();
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
// The toolkit counts the caret and the selection in UTF-16 units; the program counts characters.
long TextBox::SelStart() {
  Touch();
  long units;
  if (multiLine_) {
    units = static_cast<QPlainTextEdit*>(widget_)->textCursor().selectionStart();
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    units = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  }
  return text::CharsBefore(Shown(widget_, multiLine_), units);
}
void TextBox::SetSelStart(long start) {
  Touch();
  const int units = static_cast<int>(text::UnitsBefore(Shown(widget_, multiLine_), start));
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(units);
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setCursorPosition(units);
  }
}
long TextBox::SelLength() {
  Touch();
  long from, to;
  if (multiLine_) {
    const QTextCursor c = static_cast<QPlainTextEdit*>(widget_)->textCursor();
    from = c.selectionStart();
    to = c.selectionEnd();
  } else {
    auto* e = static_cast<QLineEdit*>(widget_);
    if (!e->hasSelectedText()) return 0;
    from = e->selectionStart();
    to = e->selectionEnd();
  }
  const QString shown = Shown(widget_, multiLine_);
  return text::CharsBefore(shown, to) - text::CharsBefore(shown, from);
}
void TextBox::SetSelLength(long length) {
  Touch();
  const long start = SelStart();
  const QString shown = Shown(widget_, multiLine_);
  const int from = static_cast<int>(text::UnitsBefore(shown, start));
  const int to = static_cast<int>(text::UnitsBefore(shown, start + std::max(0L, length)));
  if (multiLine_) {
    auto* e = static_cast<QPlainTextEdit*>(widget_);
    QTextCursor c = e->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  } else {
    static_cast<QLineEdit*>(widget_)->setSelection(from, to - from);
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
  auto* e = static_cast<QTextEdit*>(widget_);
  const QString shown = e->toPlainText();
  e->setPlainText(Q(text));
  if (e->toPlainText() == shown) return;
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

#pragma once
// What the keyboard and the mouse send a widget, delivered to the widget's own key handling: a press and a release for
// every character with the character as its text (a character beyond the first 65536 comes as one event
// of two UTF-16 units, as input methods deliver it), and the editing keys.

#include <QString>
#include <Qt>

class QWidget;

void TypeKeys(QWidget* widget, const QString& text);
void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Puts the caret before character `position` by keys: Home, then Right as often.
void CaretTo(QWidget* widget, int position);
// A click of the left button in the middle of the widget: a press and a release.
void ClickOn(QWidget* widget);

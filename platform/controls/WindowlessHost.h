#pragma once
// The machinery of windowless controls: what such a control keeps instead of a widget, and the host that
// draws a container's windowless controls in its paint event and passes them the mouse. For the controls'
// own sources only.

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/controls/Control.h"

class QEvent;
class QPoint;

namespace rt {

// The state of a windowless control: what a widget would otherwise keep.
struct Control::Face {
  WindowlessHost* host = nullptr;
  unsigned long long order = 0;
  QRect rect{0, 0, 100, 30};
  bool visible = true;
  bool enabled = true;
  bool fill = false;
  QFont font;  // only the attributes set on the control
  QString toolTip;
  int pointer = 0;
  size_t slot = 0;  // where the container last had it in its list
  bool painted = false;  // painted since it was last out of sight
};

// The windowless controls of one container (a form's area, a frame, a tab page), in z-order: later ones
// lie on earlier ones, and all of them under the container's windowed controls. The container draws them
// in its own paint event and passes them the mouse by hit test.
class WindowlessHost : public QObject {
 public:
  // The host of the container, made on first use; Find gives nullptr where there is none yet.
  static WindowlessHost& Of(QWidget* container);
  static WindowlessHost* Find(QWidget* container);
  ~WindowlessHost() override;

  QWidget* Container() const { return container_; }
  // Kept in creation order, each with its place, so that drawing and hit tests run through one array; a
  // removed control leaves a gap until gaps are half the list.
  void Add(Control* c) {
    const Entry entry{c->face_->order, c->face_->rect, c->face_->visible, c, c->face_.get()};
    if (entries_.empty() || entries_.back().order < entry.order) {
      c->face_->slot = entries_.size();
      entries_.push_back(entry);
      return;
    }
    entries_.insert(entries_.begin() + static_cast<long>(Find(entry.order)), entry);
    Renumber();
  }
  // The control's place or visibility has changed.
  void Update(Control* c) {
    const size_t at = Slot(c);
    if (at < entries_.size()) {
      entries_[at].rect = c->face_->rect;
      entries_[at].shown = c->face_->visible;
      // A strip of tickers moves thousands of controls at each tick, in the order they were made, and
      // most of that time went to waiting for their memory: while this one moves, the one eight places
      // on is fetched.
      const size_t next = at + 8;
      if (next < entries_.size() && entries_[next].control) {
        const char* object = reinterpret_cast<const char*>(entries_[next].control);
        __builtin_prefetch(object);
        __builtin_prefetch(object + 64);
        __builtin_prefetch(object + 128);
        __builtin_prefetch(entries_[next].face);
      }
    }
  }
  void Remove(Control* c) {
    const size_t at = Slot(c);
    if (at < entries_.size()) {
      entries_[at].control = nullptr;
      entries_[at].face = nullptr;
      entries_[at].shown = false;
      if (++gaps_ > entries_.size() / 2) Compact();
    }
    if (grab_ == c) grab_ = nullptr;
    if (current_ == c) current_ = nullptr;
    if (hover_ == c) SetHover(nullptr);
  }
  std::vector<Control*> Controls() const {
    std::vector<Control*> all;
    for (const Entry& e : entries_)
      if (e.control) all.push_back(e.control);
    return all;
  }
  void Invalidate(const QRect& r) {
    // most of a long strip lies outside its window: nothing to draw there
    if (r.intersects(container_->rect())) container_->update(r);
  }
  void Repaint(const QRect& r) {
    if (!r.isEmpty() && container_->isVisible()) container_->repaint(r);
  }

 protected:
  // Drawing and the mouse: the container's events, passed on to its windowless controls.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  explicit WindowlessHost(QWidget* container);
  Control* HitTest(const QPoint& at) const;
  void SetHover(Control* c);
  void Paint(const QRect& area);

  struct Entry {
    unsigned long long order;
    QRect rect;
    bool shown;
    Control* control;
    const void* face;  // the control's state, fetched ahead
  };
  size_t Find(unsigned long long order) const {
    return static_cast<size_t>(std::lower_bound(entries_.begin(), entries_.end(), order,
                                                [](const Entry& e, unsigned long long o) { return e.order < o; }) -
                               entries_.begin());
  }
  // The control's index in the list, or the list's size when it is not there.
  size_t Slot(Control* c) const {
    size_t at = c->face_->slot;
    if (at >= entries_.size() || entries_[at].control != c) at = Find(c->face_->order);
    return at < entries_.size() && entries_[at].control == c ? at : entries_.size();
  }
  void Renumber() {
    for (size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].control) entries_[i].control->face_->slot = i;
  }
  void Compact() {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.control; }),
                   entries_.end());
    gaps_ = 0;
    Renumber();
  }

  QWidget* container_;
  std::vector<Entry> entries_;
  size_t gaps_ = 0;
  Control* grab_ = nullptr;
  Control* current_ = nullptr;
  Control* hover_ = nullptr;
  int pointerShown_ = 0;
};

}  // namespace rt

#include "platform/controls/FlexGridView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/controls/Form.h"
#include "platform/runtime/RegionalQt.h"

namespace rt::grid {

bool LooksNumeric(const QString& text) {
  if (text.isEmpty()) return false;
  // a number starts with a digit, a sign, a separator or a blank: a ticker symbol is soon told
  if (text[0].isLetter()) return false;
  bool ok = false;
  text.toDouble(&ok);
  if (!ok) rt::detail::NumberLocale().toDouble(text, &ok);
  return ok;
}

namespace {

class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int r = index.row(), c = index.column();
    const Cell& cell = view_->model->cells[r][c];
    const bool fixed = view_->model->Fixed(r, c);
    const bool highlighted = view_->Highlighted(r, c);
    // The headings keep the form's colours whatever the grid's own colours are.
    const QPalette form = view_->window()->palette();
    const QPalette& own = view_->palette();
    QColor back = cell.back ? ToQColor(cell.back) : fixed ? form.color(QPalette::Button) : own.color(QPalette::Base);
    QColor fore = cell.ownFore ? ToQColor(cell.fore) : fixed ? form.color(QPalette::ButtonText) : own.color(QPalette::Text);
    if (highlighted) {
      back = own.color(QPalette::Highlight);
      fore = own.color(QPalette::HighlightedText);
    }
    const QRect rect = option.rect;
    p->save();
    p->fillRect(rect, back);
    p->setClipRect(rect.adjusted(0, 0, -1, -1));
    QRect textRect = rect.adjusted(kTextLeft, 0, -kTextRight, -1);
    if (!cell.picture.isNull()) {
      const QSize size = cell.picture.deviceIndependentSize().toSize();
      p->drawPixmap(QPoint(rect.left() + 1, rect.top() + (rect.height() - 1 - size.height()) / 2), cell.picture);
      textRect.setLeft(rect.left() + 1 + size.width() + 3);
    }
    if (!cell.text.isEmpty()) {
      QFont font = view_->font();
      if (cell.bold >= 0) font.setBold(cell.bold != 0);
      if (!cell.fontName.isEmpty()) font.setFamily(cell.fontName);
      p->setFont(font);
      p->setPen(fore);
      const Qt::Alignment align = (cell.Numeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
      p->drawText(textRect, static_cast<int>(align | Qt::TextSingleLine), cell.text);
    }
    p->setClipping(false);
    p->setPen(fixed ? form.color(QPalette::Dark) : view_->gridColor);
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (!fixed && r == view_->row && c == view_->col && view_->selectionMode == 0 && view_->hasFocus()) {
      QPen pen(fore, 1, Qt::DotLine);
      p->setPen(pen);
      p->drawRect(rect.adjusted(1, 1, -3, -3));
    }
    p->restore();
  }

 private:
  GridView* view_;
};

}  // namespace

GridView::GridView() : model(new GridModel(this)) {
  model->changed = [this](int r1, int c1, int r2, int c2) { CellsChanged(r1, c1, r2, c2); };
  model->cols = 2;
  model->cells.assign(2, std::vector<Cell>(2));
  model->fixedRows = model->fixedCols = 1;
  setModel(model);
  setItemDelegate(new GridDelegate(this));
  // The fixed cells are the headings; Qt's own headers only keep the row heights and column widths.
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) h->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(DefaultRowHeight());
  horizontalHeader()->setDefaultSectionSize(DefaultColWidth());
  setShowGrid(false);  // the cells draw their own lines, in the grid's colour
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  viewport()->setMouseTracking(true);
  viewport()->setBackgroundRole(QPalette::Dark);  // the area beyond the last row and column
  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::Text, Qt::black);
  setPalette(p);
  frame_.setSingleShot(true);
  frame_.setInterval(static_cast<int>(kFrameMs));
  frame_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&frame_, &QTimer::timeout, this, [this] { PaintPending(); });
}

void GridView::Select(long r, long c, long rs, long cs) {
  const QRect before = SelectionRect();
  const bool same = SameLook(r, c, rs, cs);
  row = r;
  col = c;
  rowSel = rs;
  colSel = cs;
  if (same) return;
  Repaint(before);
  Repaint(SelectionRect());
}

void GridView::Repaint(const QRect& area) {
  // A pixel around the cells goes with them: where a pixel of the window is more than one of the screen's
  // (a scaled desktop), the line between two cells is drawn partly on the neighbour's side. Cells out of
  // sight (most of a long grid) have nothing to paint.
  const QRect seen = area.adjusted(-1, -1, 1, 1) & viewport()->rect();
  if (seen.isEmpty() || (pending_.rectCount() == 1 && pending_.boundingRect().contains(seen))) return;
  pending_ += seen;
  // many scattered changes in one frame are painted as the area around them: a region of many pieces
  // costs more to keep than the cells cost to paint
  if (pending_.rectCount() > kMostPieces) pending_ = pending_.boundingRect();
  if (!frame_.isActive()) frame_.start();
}

QRect GridView::AreaOf(long r1, long r2, long c1, long c2) const {
  QRect area = viewport()->rect();
  if (r1 >= 0) {
    const int top = static_cast<int>(std::min(r1, r2)), bottom = static_cast<int>(std::max(r1, r2));
    const int y = rowViewportPosition(top);
    area.setTop(y);
    area.setBottom(rowViewportPosition(bottom) + rowHeight(bottom) - 1);
  }
  if (c1 >= 0) {
    const int left = static_cast<int>(std::min(c1, c2)), right = static_cast<int>(std::max(c1, c2));
    area.setLeft(columnViewportPosition(left));
    area.setRight(columnViewportPosition(right) + columnWidth(right) - 1);
  }
  return area;
}

QRect GridView::SelectionRect() const {
  switch (selectionMode) {
    case 1: return AreaOf(row, rowSel, -1, -1);
    case 2: return AreaOf(-1, -1, col, colSel);
    default: return AreaOf(row, rowSel, col, colSel);
  }
}

bool GridView::SameLook(long r, long c, long rs, long cs) const {
  const auto span = [](long a, long b) { return std::pair{std::min(a, b), std::max(a, b)}; };
  const bool rowsSame = span(r, rs) == span(row, rowSel), colsSame = span(c, cs) == span(col, colSel);
  switch (selectionMode) {
    case 1: return rowsSame;
    case 2: return colsSame;
    default: return rowsSame && colsSame && r == row && c == col;
  }
}

void GridView::ClampSelection() {
  const long lastRow = std::max(0L, Rows() - 1), lastCol = std::max(0L, Cols() - 1);
  row = std::min(row, lastRow);
  rowSel = std::min(rowSel, lastRow);
  col = std::min(col, lastCol);
  colSel = std::min(colSel, lastCol);
  viewport()->update();
}

void GridView::ClickCell(long r, long c) {
  if (!Inside(r, c) || r < model->fixedRows) return;
  const long firstCol = std::min<long>(model->fixedCols, Cols() - 1);
  if (selectionMode == 1 || c < model->fixedCols)
    Select(r, firstCol, r, Cols() - 1);
  else if (selectionMode == 2)
    Select(std::min<long>(model->fixedRows, Rows() - 1), c, Rows() - 1, c);
  else
    Select(r, c, r, c);
}

bool GridView::Highlighted(long r, long c) const {
  if (model->Fixed(r, c)) return false;
  const bool inRows = r >= std::min(row, rowSel) && r <= std::max(row, rowSel);
  const bool inCols = c >= std::min(col, colSel) && c <= std::max(col, colSel);
  switch (selectionMode) {
    case 1: return inRows;
    case 2: return inCols;
    default: return inRows && inCols && !(r == row && c == col);  // the current cell has a focus frame
  }
}

int GridView::DefaultRowHeight() const {
  return std::max(ToPixelsY(240), fontMetrics().height() + 4);
}

int GridView::DefaultColWidth() {
  return ToPixelsX(960);
}

void GridView::mousePressEvent(QMouseEvent* e) {
  Track(e->position().toPoint());
  if (e->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  pressed_ = Inside(mouseRow, mouseCol);
  dragging_ = pressed_ && mouseRow >= model->fixedRows;
  if (pressed_) ClickCell(mouseRow, mouseCol);
}

void GridView::mouseMoveEvent(QMouseEvent* e) {
  Track(e->position().toPoint());
  if (!dragging_ || !(e->buttons() & Qt::LeftButton) || !Inside(mouseRow, mouseCol)) return;
  const long r = std::max<long>(mouseRow, model->fixedRows);
  const long c = selectionMode == 1 ? colSel : std::max<long>(mouseCol, model->fixedCols);
  if (r == rowSel && c == colSel) return;
  Select(row, col, selectionMode == 2 ? rowSel : r, c);
}

void GridView::mouseReleaseEvent(QMouseEvent* e) {
  Track(e->position().toPoint());
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = dragging_ = false;
  if (viewport()->rect().contains(e->position().toPoint()) && onClick) onClick();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* e) {
  Track(e->position().toPoint());
  if (e->button() == Qt::LeftButton && Inside(mouseRow, mouseCol) && onDblClick) onDblClick();
}

void GridView::keyPressEvent(QKeyEvent* e) {
  const long firstRow = model->fixedRows, firstCol = model->fixedCols;
  if (Rows() <= firstRow || Cols() <= firstCol) return QWidget::keyPressEvent(e);
  const long page = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
  long r = row, c = col;
  switch (e->key()) {
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_Left: --c; break;
    case Qt::Key_Right: ++c; break;
    case Qt::Key_PageUp: r -= page; break;
    case Qt::Key_PageDown: r += page; break;
    case Qt::Key_Home: (e->modifiers() & Qt::ControlModifier ? r : c) = 0; break;
    case Qt::Key_End: (e->modifiers() & Qt::ControlModifier ? r : c) = Rows() + Cols(); break;
    default: return QWidget::keyPressEvent(e);
  }
  r = std::clamp(r, firstRow, Rows() - 1);
  c = std::clamp(c, firstCol, Cols() - 1);
  if (selectionMode == 1)
    Select(r, firstCol, r, Cols() - 1);
  else
    Select(r, c, r, c);
  scrollTo(model->index(static_cast<int>(r), static_cast<int>(selectionMode == 1 ? col : c)));
}

void GridView::CellsChanged(int r1, int c1, int r2, int c2) {
  if (isVisible()) Repaint(AreaOf(r1, r2, c1, c2));
}

void GridView::changeEvent(QEvent* e) {
  QTableView::changeEvent(e);
  if (e->type() == QEvent::FontChange) FollowFont();
}

void GridView::PaintPending() {
  viewport()->update(pending_);
  pending_ = QRegion();
}

void GridView::Track(const QPoint& pos) {
  const QModelIndex i = indexAt(pos);
  mouseRow = i.isValid() ? i.row() : -1;
  mouseCol = i.isValid() ? i.column() : -1;
}

void GridView::FollowFont() {
  QHeaderView* h = verticalHeader();
  const int before = h->defaultSectionSize(), now = DefaultRowHeight();
  if (now == before) return;
  std::vector<std::pair<int, int>> own;
  for (int r = 0; r < h->count(); ++r)
    if (!h->isSectionHidden(r) && h->sectionSize(r) != before) own.emplace_back(r, h->sectionSize(r));
  h->setDefaultSectionSize(now);  // resizes every shown row
  for (const auto& [r, size] : own) h->resizeSection(r, size);
}

}  // namespace rt::grid

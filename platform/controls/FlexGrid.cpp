#include "platform/controls/FlexGrid.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/controls/PictureFiles.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/RegionalQt.h"
#include "platform/runtime/Text.h"

namespace rt {
namespace {

QColor ToQColor(long c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
QString Q(const std::string& s) { return text::ToQt(s); }

[[noreturn]] void OutOfRange() { Raise(381, "Subscript out of range"); }
[[noreturn]] void InvalidValue() { Raise(errInvalidCall, "Invalid property value"); }

// Numbers stand at the right of their cells, everything else at the left.
bool LooksNumeric(const QString& text) {
  if (text.isEmpty()) return false;
  // a number starts with a digit, a sign, a separator or a blank: a ticker symbol is soon told
  if (text[0].isLetter()) return false;
  bool ok = false;
  text.toDouble(&ok);
  if (!ok) rt::detail::NumberLocale().toDouble(text, &ok);
  return ok;
}

struct Cell {
  QString text;
  // the text as the program reads it back: read far more often than it changes
  std::string utf8;
  // whether the text reads as a number: told when the cell is first drawn after a change, as only
  // drawn cells need it and a cycle rewrites many cells between two paints
  mutable signed char numeric = -1;
  bool Numeric() const {
    if (numeric < 0) numeric = LooksNumeric(text) ? 1 : 0;
    return numeric == 1;
  }
  std::string picturePath;
  QPixmap picture;
  long back = 0;  // 0: the grid's background
  long fore = 0;
  bool ownFore = false;  // a fore colour of 0 is black, so "none" needs its own flag
  int bold = -1;         // -1: as the grid's font
  QString fontName;      // "": as the grid's font

  void SetText(QString now) {
    text = std::move(now);
    utf8 = text.toStdString();
    numeric = -1;
  }

  // What decides how the cell is drawn (the same picture file read again is the same picture).
  struct Look {
    QString text;
    qint64 picture;
    long back, fore;
    bool ownFore;
    int bold;
    QString fontName;
    bool operator==(const Look&) const = default;
  };
  Look Appearance() const { return {text, picture.cacheKey(), back, fore, ownFore, bold, fontName}; }
};

class GridModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  std::vector<std::vector<Cell>> cells;
  int cols = 0;
  int fixedRows = 0, fixedCols = 0;

  int rows() const { return static_cast<int>(cells.size()); }
  bool Fixed(int r, int c) const { return r < fixedRows || c < fixedCols; }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows(); }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : cols; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return cells[index.row()][index.column()].text;
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Fixed(index.row(), index.column()) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  }

  void SetRowCount(int n) {
    const int now = rows();
    if (n < now) {
      beginRemoveRows({}, n, now - 1);
      cells.resize(n);
      endRemoveRows();
    } else if (n > now) {
      beginInsertRows({}, now, n - 1);
      cells.resize(n, std::vector<Cell>(cols));
      endInsertRows();
    }
  }
  void SetColumnCount(int n) {
    const int now = cols;
    if (n < now) {
      beginRemoveColumns({}, n, now - 1);
      for (auto& row : cells) row.resize(n);
      cols = n;
      endRemoveColumns();
    } else if (n > now) {
      beginInsertColumns({}, now, n - 1);
      for (auto& row : cells) row.resize(n);
      cols = n;
      endInsertColumns();
    }
  }
  void InsertRow(int at, std::vector<Cell> row) {
    beginInsertRows({}, at, at);
    cells.insert(cells.begin() + at, std::move(row));
    endInsertRows();
  }
  void RemoveRow(int at) {
    beginRemoveRows({}, at, at);
    cells.erase(cells.begin() + at);
    endRemoveRows();
  }
  // Cells r1..r2, c1..c2 look different now. The view that shows them is told straight away: it is the
  // model's only reader, and an update cycle changes cells a few times a row, where the model's signal
  // costs more than the change itself.
  std::function<void(int r1, int c1, int r2, int c2)> changed;
  void Changed(int r1, int c1, int r2, int c2) {
    if (r1 <= r2 && c1 <= c2 && changed) changed(r1, c1, r2, c2);
  }
};

// The table: holds the cells (in its model), the current cell and selection, and paints every cell itself
// so that the fixed part looks like headings and the selection follows the grid's own rules.
class GridView : public QTableView {
 public:
  GridModel* model;
  long row = 1, col = 1, rowSel = 1, colSel = 1;
  long fillStyle = 0, selectionMode = 0;
  long mouseRow = -1, mouseCol = -1;
  QColor gridColor{0xC0, 0xC0, 0xC0};
  std::function<void()> onClick, onDblClick;

  GridView();

  long Rows() const { return model->rows(); }
  long Cols() const { return model->cols; }
  bool Inside(long r, long c) const { return r >= 0 && r < Rows() && c >= 0 && c < Cols(); }

  // Moves the current cell and the selection, repainting only the cells whose look that changes: the
  // rows (by row), columns (by column) or range (free) highlighted before and after; in the free mode the
  // current cell, which has a focus frame, is a corner of its range. Moving nothing repaints nothing.
  void Select(long r, long c, long rs, long cs) {
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
  // Asks for the cells in `area` to be painted again with the other changes of the same frame, a frame
  // after the first of them. An update cycle changes a row's cells a few at a time and lets events run
  // between the changes: painting after each of them would cost the cycle far more than its downloads, and
  // painting at once after a row would hold up the next row's request. A frame later the painting falls in
  // the wait for an answer, and nobody sees the difference of a frame.
  void Repaint(const QRect& area) {
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
  // Whether cells wait for the next frame to be painted.
  bool PaintWaits() const { return frame_.isActive(); }
  // The viewport area of the cells rows r1..r2 and columns c1..c2 (either range may come in any order);
  // a range of -1 stands for every row or every column.
  QRect AreaOf(long r1, long r2, long c1, long c2) const {
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
  // What the selection highlights (and, in the free mode, the current cell's frame).
  QRect SelectionRect() const {
    switch (selectionMode) {
      case 1: return AreaOf(row, rowSel, -1, -1);
      case 2: return AreaOf(-1, -1, col, colSel);
      default: return AreaOf(row, rowSel, col, colSel);
    }
  }
  // Whether the current cell and selection (r, c, rs, cs) look the same as the ones now.
  bool SameLook(long r, long c, long rs, long cs) const {
    const auto span = [](long a, long b) { return std::pair{std::min(a, b), std::max(a, b)}; };
    const bool rowsSame = span(r, rs) == span(row, rowSel), colsSame = span(c, cs) == span(col, colSel);
    switch (selectionMode) {
      case 1: return rowsSame;
      case 2: return colsSame;
      default: return rowsSame && colsSame && r == row && c == col;
    }
  }
  // Keeps the current cell and the selection inside the grid after rows or columns went away.
  void ClampSelection() {
    const long lastRow = std::max(0L, Rows() - 1), lastCol = std::max(0L, Cols() - 1);
    row = std::min(row, lastRow);
    rowSel = std::min(rowSel, lastRow);
    col = std::min(col, lastCol);
    colSel = std::min(colSel, lastCol);
    viewport()->update();
  }

  // What a click on a cell does to the current cell: a heading row leaves it; a heading column or the
  // row selection mode takes the whole row.
  void ClickCell(long r, long c) {
    if (!Inside(r, c) || r < model->fixedRows) return;
    const long firstCol = std::min<long>(model->fixedCols, Cols() - 1);
    if (selectionMode == 1 || c < model->fixedCols)
      Select(r, firstCol, r, Cols() - 1);
    else if (selectionMode == 2)
      Select(std::min<long>(model->fixedRows, Rows() - 1), c, Rows() - 1, c);
    else
      Select(r, c, r, c);
  }

  bool Highlighted(long r, long c) const {
    if (model->Fixed(r, c)) return false;
    const bool inRows = r >= std::min(row, rowSel) && r <= std::max(row, rowSel);
    const bool inCols = c >= std::min(col, colSel) && c <= std::max(col, colSel);
    switch (selectionMode) {
      case 1: return inRows;
      case 2: return inCols;
      default: return inRows && inCols && !(r == row && c == col);  // the current cell has a focus frame
    }
  }

  int DefaultRowHeight() const { return std::max(ToPixelsY(240), fontMetrics().height() + 4); }
  static int DefaultColWidth() { return ToPixelsX(960); }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    Track(e->position().toPoint());
    if (e->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    pressed_ = Inside(mouseRow, mouseCol);
    dragging_ = pressed_ && mouseRow >= model->fixedRows;
    if (pressed_) ClickCell(mouseRow, mouseCol);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    Track(e->position().toPoint());
    if (!dragging_ || !(e->buttons() & Qt::LeftButton) || !Inside(mouseRow, mouseCol)) return;
    const long r = std::max<long>(mouseRow, model->fixedRows);
    const long c = selectionMode == 1 ? colSel : std::max<long>(mouseCol, model->fixedCols);
    if (r == rowSel && c == colSel) return;
    Select(row, col, selectionMode == 2 ? rowSel : r, c);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    Track(e->position().toPoint());
    if (e->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = dragging_ = false;
    if (viewport()->rect().contains(e->position().toPoint()) && onClick) onClick();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    Track(e->position().toPoint());
    if (e->button() == Qt::LeftButton && Inside(mouseRow, mouseCol) && onDblClick) onDblClick();
  }
  void keyPressEvent(QKeyEvent* e) override {
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
  // A changed range repaints its own cells (the table's own handling repaints the whole viewport for any
  // range larger than one cell), with the frame's other changes.
  void CellsChanged(int r1, int c1, int r2, int c2) {
    if (isVisible()) Repaint(AreaOf(r1, r2, c1, c2));
  }
  void changeEvent(QEvent* e) override {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) FollowFont();
  }

 private:
  static constexpr qint64 kFrameMs = 16;
  static constexpr int kMostPieces = 8;
  QRegion pending_;
  QTimer frame_;

  void PaintPending() {
    viewport()->update(pending_);
    pending_ = QRegion();
  }

  void Track(const QPoint& pos) {
    const QModelIndex i = indexAt(pos);
    mouseRow = i.isValid() ? i.row() : -1;
    mouseCol = i.isValid() ? i.column() : -1;
  }
  // The default row height follows the font; rows given a height of their own keep it.
  void FollowFont() {
    QHeaderView* h = verticalHeader();
    const int before = h->defaultSectionSize(), now = DefaultRowHeight();
    if (now == before) return;
    std::vector<std::pair<int, int>> own;
    for (int r = 0; r < h->count(); ++r)
      if (!h->isSectionHidden(r) && h->sectionSize(r) != before) own.emplace_back(r, h->sectionSize(r));
    h->setDefaultSectionSize(now);  // resizes every shown row
    for (const auto& [r, size] : own) h->resizeSection(r, size);
  }

  bool pressed_ = false, dragging_ = false;
};

// A cell's text keeps this many pixels from its left and right edges.
constexpr int kTextLeft = 3, kTextRight = 4;

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

}  // namespace

struct FlexGrid::Native {
  QPointer<GridView> view;

  const Cell& Current() {
    if (!view->Inside(view->row, view->col)) OutOfRange();
    return view->model->cells[view->row][view->col];
  }
  // Applies a change to the current cell or, with FillStyle 1, to every selected cell.
  void Format(const std::function<void(Cell&)>& change) {
    GridView& v = *view;
    if (!v.Inside(v.row, v.col)) OutOfRange();
    long r1 = v.row, r2 = v.row, c1 = v.col, c2 = v.col;
    if (v.fillStyle == 1) {
      r1 = std::min(v.row, v.rowSel);
      r2 = std::max(v.row, v.rowSel);
      c1 = std::min(v.col, v.colSel);
      c2 = std::max(v.col, v.colSel);
    }
    // only a cell that now looks different is painted again
    bool changed = false;
    for (long r = r1; r <= r2; ++r)
      for (long c = c1; c <= c2; ++c) {
        Cell& cell = v.model->cells[r][c];
        const Cell::Look before = cell.Appearance();
        change(cell);
        changed = changed || !(cell.Appearance() == before);
      }
    if (changed)
      v.model->Changed(static_cast<int>(r1), static_cast<int>(c1), static_cast<int>(r2), static_cast<int>(c2));
  }
};

FlexGrid::FlexGrid(Form& owner, std::string name) : Control(owner, std::move(name)), native_(new Native) {
  auto* view = new GridView();
  native_->view = view;
  Attach(view);
  backColor_ = 0xFFFFFF;
  foreColor_ = 0;
  view->onClick = [this] { Fire(Click); };
  view->onDblClick = [this] { Fire(DblClick); };
}

FlexGrid::~FlexGrid() {
  delete native_->view.data();
  widget_ = nullptr;
  delete native_;
}

long FlexGrid::Rows() {
  Touch();
  return native_->view->Rows();
}
void FlexGrid::SetRows(long rows) {
  Touch();
  GridView& v = *native_->view;
  if (rows < v.model->fixedRows) InvalidValue();
  v.model->SetRowCount(static_cast<int>(rows));
  v.ClampSelection();
}
long FlexGrid::Cols() {
  Touch();
  return native_->view->Cols();
}
void FlexGrid::SetCols(long cols) {
  Touch();
  GridView& v = *native_->view;
  if (cols < v.model->fixedCols) InvalidValue();
  v.model->SetColumnCount(static_cast<int>(cols));
  v.ClampSelection();
}
long FlexGrid::FixedRows() {
  Touch();
  return native_->view->model->fixedRows;
}
void FlexGrid::SetFixedRows(long rows) {
  Touch();
  GridView& v = *native_->view;
  if (rows < 0 || rows > v.Rows()) InvalidValue();
  v.model->fixedRows = static_cast<int>(rows);
  // the current cell moves out of the headings when there is a row below them
  if (v.row < rows && rows < v.Rows()) v.row = v.rowSel = rows;
  v.viewport()->update();
}
long FlexGrid::FixedCols() {
  Touch();
  return native_->view->model->fixedCols;
}
void FlexGrid::SetFixedCols(long cols) {
  Touch();
  GridView& v = *native_->view;
  if (cols < 0 || cols > v.Cols()) InvalidValue();
  v.model->fixedCols = static_cast<int>(cols);
  if (v.col < cols && cols < v.Cols()) v.col = v.colSel = cols;
  v.viewport()->update();
}

std::string FlexGrid::TextMatrix(long row, long col) {
  Touch();
  GridView& v = *native_->view;
  if (!v.Inside(row, col)) OutOfRange();
  return v.model->cells[row][col].utf8;
}
void FlexGrid::SetTextMatrix(long row, long col, const std::string& text) {
  Touch();
  GridView& v = *native_->view;
  if (!v.Inside(row, col)) OutOfRange();
  Cell& cell = v.model->cells[row][col];
  if (text == cell.utf8) return;  // nothing to paint again
  QString now = Q(text);
  if (now == cell.text) return;  // the same text, written otherwise
  cell.SetText(std::move(now));
  v.model->Changed(static_cast<int>(row), static_cast<int>(col), static_cast<int>(row), static_cast<int>(col));
}

long FlexGrid::Row() {
  Touch();
  return native_->view->row;
}
void FlexGrid::SetRow(long row) {
  Touch();
  GridView& v = *native_->view;
  if (row < 0 || row >= v.Rows()) OutOfRange();
  v.Select(row, v.col, row, v.col);
}
long FlexGrid::Col() {
  Touch();
  return native_->view->col;
}
void FlexGrid::SetCol(long col) {
  Touch();
  GridView& v = *native_->view;
  if (col < 0 || col >= v.Cols()) OutOfRange();
  v.Select(v.row, col, v.row, col);
}
long FlexGrid::RowSel() {
  Touch();
  return native_->view->rowSel;
}
void FlexGrid::SetRowSel(long row) {
  Touch();
  GridView& v = *native_->view;
  if (row < 0 || row >= v.Rows()) OutOfRange();
  v.Select(v.row, v.col, row, v.colSel);
}
long FlexGrid::ColSel() {
  Touch();
  return native_->view->colSel;
}
void FlexGrid::SetColSel(long col) {
  Touch();
  GridView& v = *native_->view;
  if (col < 0 || col >= v.Cols()) OutOfRange();
  v.Select(v.row, v.col, v.rowSel, col);
}
std::string FlexGrid::Text() {
  Touch();
  return native_->Current().utf8;
}
void FlexGrid::SetText(const std::string& text) {
  Touch();
  GridView& v = *native_->view;
  SetTextMatrix(v.row, v.col, text);
}

long FlexGrid::FillStyle() {
  Touch();
  return native_->view->fillStyle;
}
void FlexGrid::SetFillStyle(long style) {
  Touch();
  if (style != 0 && style != 1) InvalidValue();
  native_->view->fillStyle = style;
}
void FlexGrid::SetSelectionMode(long mode) {
  Touch();
  if (mode < 0 || mode > 2) InvalidValue();
  native_->view->selectionMode = mode;
  native_->view->viewport()->update();
}

void FlexGrid::SetCellPicture(const std::string& picturePath) {
  Touch();
  const QPixmap picture = picturePath.empty() ? QPixmap() : PictureFromFile(picturePath);
  native_->Format([&](Cell& cell) {
    cell.picturePath = picturePath;
    cell.picture = picture;
  });
}
std::string FlexGrid::CellPicture() {
  Touch();
  return native_->Current().picturePath;
}
void FlexGrid::SetCellBackColor(long color) {
  Touch();
  native_->Format([&](Cell& cell) { cell.back = color; });
}
long FlexGrid::CellBackColor() {
  Touch();
  return native_->Current().back;
}
void FlexGrid::SetCellForeColor(long color) {
  Touch();
  native_->Format([&](Cell& cell) {
    cell.fore = color;
    cell.ownFore = true;
  });
}
long FlexGrid::CellForeColor() {
  Touch();
  return native_->Current().fore;
}
void FlexGrid::SetCellFontBold(bool bold) {
  Touch();
  native_->Format([&](Cell& cell) { cell.bold = bold ? 1 : 0; });
}
bool FlexGrid::CellFontBold() {
  Touch();
  const Cell& cell = native_->Current();
  return cell.bold >= 0 ? cell.bold != 0 : native_->view->font().bold();
}
void FlexGrid::SetCellFontName(const std::string& name) {
  Touch();
  const QString family = Q(name);
  native_->Format([&](Cell& cell) { cell.fontName = family; });
}
std::string FlexGrid::CellFontName() {
  Touch();
  const Cell& cell = native_->Current();
  return (cell.fontName.isEmpty() ? native_->view->font().family() : cell.fontName).toStdString();
}

double FlexGrid::RowHeight(long row) {
  Touch();
  GridView& v = *native_->view;
  if (row < 0 || row >= v.Rows()) OutOfRange();
  if (v.isRowHidden(static_cast<int>(row))) return 0;
  return v.rowHeight(static_cast<int>(row)) * TwipsPerPixelY();
}
void FlexGrid::SetRowHeight(long row, double twips) {
  Touch();
  GridView& v = *native_->view;
  if (row < 0 || row >= v.Rows()) OutOfRange();
  const int r = static_cast<int>(row);
  if (twips == 0) {
    v.setRowHidden(r, true);
    return;
  }
  v.setRowHidden(r, false);
  v.setRowHeight(r, twips < 0 ? v.verticalHeader()->defaultSectionSize() : std::max(1, ToPixelsY(twips)));
}
double FlexGrid::ColWidth(long col) {
  Touch();
  GridView& v = *native_->view;
  if (col < 0 || col >= v.Cols()) OutOfRange();
  if (v.isColumnHidden(static_cast<int>(col))) return 0;
  return v.columnWidth(static_cast<int>(col)) * TwipsPerPixelX();
}
double FlexGrid::ColWidthFor(const std::string& text) {
  Touch();
  const QFontMetrics metrics(native_->view->font());
  return (kTextLeft + metrics.horizontalAdvance(QString::fromStdString(text)) + kTextRight) * TwipsPerPixelX();
}
void FlexGrid::SetColWidth(long col, double twips) {
  Touch();
  GridView& v = *native_->view;
  if (col < 0 || col >= v.Cols()) OutOfRange();
  const int c = static_cast<int>(col);
  if (twips == 0) {
    v.setColumnHidden(c, true);
    return;
  }
  v.setColumnHidden(c, false);
  v.setColumnWidth(c, twips < 0 ? v.horizontalHeader()->defaultSectionSize() : std::max(1, ToPixelsX(twips)));
}

long FlexGrid::MouseRow() {
  Touch();
  return native_->view->mouseRow;
}
long FlexGrid::MouseCol() {
  Touch();
  return native_->view->mouseCol;
}

void FlexGrid::Clear() {
  Touch();
  GridModel& m = *native_->view->model;
  for (auto& row : m.cells)
    for (Cell& cell : row) cell = Cell();
  m.Changed(0, 0, m.rows() - 1, m.cols - 1);
}

void FlexGrid::AddItem(const std::string& item, long index) {
  Touch();
  GridView& v = *native_->view;
  if (index < -1 || index > v.Rows()) OutOfRange();
  std::vector<Cell> cells(v.model->cols);
  const QStringList parts = Q(item).split(QLatin1Char('\t'));
  for (int c = 0; c < std::min<int>(parts.size(), v.model->cols); ++c) {
    cells[c].SetText(parts[c]);
  }
  v.model->InsertRow(static_cast<int>(index < 0 ? v.Rows() : index), std::move(cells));
  v.viewport()->update();
}
void FlexGrid::RemoveItem(long index) {
  Touch();
  GridView& v = *native_->view;
  if (index < 0 || index >= v.Rows()) OutOfRange();
  v.model->RemoveRow(static_cast<int>(index));
  v.model->fixedRows = std::min(v.model->fixedRows, v.model->rows());
  v.ClampSelection();
}

void FlexGrid::SetGridColor(long color) {
  Touch();
  native_->view->gridColor = ToQColor(color);
  native_->view->viewport()->update();
}

void FlexGrid::WaitForPainting() {
  while (native_->view && native_->view->PaintWaits())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
}
void FlexGrid::SimulateClick(long row, long col, bool doubleClick) {
  Touch();
  GridView& v = *native_->view;
  if (!v.Inside(row, col)) OutOfRange();
  v.mouseRow = row;
  v.mouseCol = col;
  v.ClickCell(row, col);
  Fire(doubleClick ? DblClick : Click);
}

void FlexGrid::Reset() {
  Control::Reset();
  Clear();
  SetFixedRows(0);
  SetFixedCols(0);
  SetRows(2);
  SetCols(2);
  SetFixedRows(1);
  SetFixedCols(1);
  for (long r = 0; r < 2; ++r) SetRowHeight(r, -1);
  for (long c = 0; c < 2; ++c) SetColWidth(c, -1);
  SetFillStyle(0);
  SetSelectionMode(0);
  SetRow(1);
  SetCol(1);
}

}  // namespace rt

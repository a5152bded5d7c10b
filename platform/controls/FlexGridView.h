#pragma once
// The flexible grid's table: the cells and their model, and the view that keeps the current cell and the
// selection, paints every cell itself and takes the mouse and the keys. For the grid's own sources only.

#include <QAbstractTableModel>
#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPoint;
class QRect;

namespace rt::grid {

inline QColor ToQColor(long c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Numbers stand at the right of their cells, everything else at the left.
bool LooksNumeric(const QString& text);

// A cell's text keeps this many pixels from its left and right edges.
constexpr int kTextLeft = 3, kTextRight = 4;

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
  void Select(long r, long c, long rs, long cs);
  // Asks for the cells in `area` to be painted again with the other changes of the same frame, a frame
  // after the first of them. An update cycle changes a row's cells a few at a time and lets events run
  // between the changes: painting after each of them would cost the cycle far more than its downloads, and
  // painting at once after a row would hold up the next row's request. A frame later the painting falls in
  // the wait for an answer, and nobody sees the difference of a frame.
  void Repaint(const QRect& area);
  // Whether cells wait for the next frame to be painted.
  bool PaintWaits() const { return frame_.isActive(); }
  // The viewport area of the cells rows r1..r2 and columns c1..c2 (either range may come in any order);
  // a range of -1 stands for every row or every column.
  QRect AreaOf(long r1, long r2, long c1, long c2) const;
  // What the selection highlights (and, in the free mode, the current cell's frame).
  QRect SelectionRect() const;
  // Whether the current cell and selection (r, c, rs, cs) look the same as the ones now.
  bool SameLook(long r, long c, long rs, long cs) const;
  // Keeps the current cell and the selection inside the grid after rows or columns went away.
  void ClampSelection();

  // What a click on a cell does to the current cell: a heading row leaves it; a heading column or the
  // row selection mode takes the whole row.
  void ClickCell(long r, long c);

  // Whether the selection highlights the cell: never a heading, nor the current cell in the free mode.
  bool Highlighted(long r, long c) const;

  int DefaultRowHeight() const;
  static int DefaultColWidth();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  // A changed range repaints its own cells (the table's own handling repaints the whole viewport for any
  // range larger than one cell), with the frame's other changes.
  void CellsChanged(int r1, int c1, int r2, int c2);
  void changeEvent(QEvent* e) override;

 private:
  static constexpr qint64 kFrameMs = 16;
  static constexpr int kMostPieces = 8;
  QRegion pending_;
  QTimer frame_;

  void PaintPending();

  void Track(const QPoint& pos);
  // The default row height follows the font; rows given a height of their own keep it.
  void FollowFont();

  bool pressed_ = false, dragging_ = false;
};

}  // namespace rt::grid

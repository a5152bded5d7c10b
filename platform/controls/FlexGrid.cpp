#include "platform/controls/FlexGrid.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPixmap>
#include <QPointer>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/controls/FlexGridView.h"
#include "platform/controls/Form.h"
#include "platform/controls/PictureFiles.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Text.h"

namespace rt {
namespace {

using grid::Cell;
using grid::GridModel;
using grid::GridView;
using grid::kTextLeft;
using grid::kTextRight;
using grid::ToQColor;

QString Q(const std::string& s) { return text::ToQt(s); }

[[noreturn]] void OutOfRange() { Raise(381, "Subscript out of range"); }
[[noreturn]] void InvalidValue() { Raise(errInvalidCall, "Invalid property value"); }

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

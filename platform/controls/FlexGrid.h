#pragma once
// The flexible grid: a table of text cells with fixed (header) rows and columns, a current cell, cell
// pictures, per-cell colours and fonts, row heights (0 hides a row) and column widths in twips.
// Rows and columns count from 0; the fixed ones come first.

#include <string>

#include "platform/controls/Controls.h"

namespace rt {

class FlexGrid : public Control {
 public:
  FlexGrid(Form& owner, std::string name);
  ~FlexGrid() override;

  long Rows();
  // Fewer rows drop those at the end, more rows add empty ones.
  void SetRows(long rows);
  long Cols();
  void SetCols(long cols);
  long FixedRows();
  void SetFixedRows(long rows);
  long FixedCols();
  void SetFixedCols(long cols);

  // Cell text by row and column; 381 (Subscript out of range) outside the grid.
  std::string TextMatrix(long row, long col);
  void SetTextMatrix(long row, long col, const std::string& text);

  // The current cell; setting Row or Col also makes the selection that one cell (RowSel = Row, ColSel = Col).
  long Row();
  void SetRow(long row);
  long Col();
  void SetCol(long col);
  // The other corner of the selected range.
  long RowSel();
  void SetRowSel(long row);
  long ColSel();
  void SetColSel(long col);
  // The text of the current cell.
  std::string Text();
  void SetText(const std::string& text);

  // 0: cell formatting applies to the current cell only; 1: to every cell of the selected range.
  long FillStyle();
  void SetFillStyle(long style);
  // 0 free, 1 by row, 2 by column.
  void SetSelectionMode(long mode);

  // Cell formatting (to the current cell or the selected range, by FillStyle).
  // The picture of a file, drawn in the cell; "" removes it.
  void SetCellPicture(const std::string& picturePath);
  std::string CellPicture();
  void SetCellBackColor(long color);
  long CellBackColor();
  void SetCellForeColor(long color);
  long CellForeColor();
  void SetCellFontBold(bool bold);
  bool CellFontBold();
  void SetCellFontName(const std::string& name);
  std::string CellFontName();

  // Row heights and column widths in twips. A row height of 0 hides the row; -1 gives it the default
  // height again. A column width of 0 hides the column; -1 gives it the default width.
  double RowHeight(long row);
  void SetRowHeight(long row, double twips);
  double ColWidth(long col);
  void SetColWidth(long col, double twips);
  // The width (twips) a column needs to show this text whole in one of its cells, in the grid's font.
  double ColWidthFor(const std::string& text);

  // The row under the mouse pointer (-1 when none).
  long MouseRow();
  long MouseCol();
  // Clears the text and formatting of every cell; rows and columns stay.
  void Clear();
  // Appends a row (or inserts it before `index`); tabs in `item` separate the cells.
  void AddItem(const std::string& item, long index = -1);
  void RemoveItem(long index);

  // The colour of the lines between cells.
  void SetGridColor(long color);

  void Reset() override;

  Handler Click;
  Handler DblClick;

  // For tests and screenshots: reports a click or a double click on a cell as the user's mouse would.
  void SimulateClick(long row, long col, bool doubleClick = false);
  // For tests and screenshots: runs events until the cells that wait for the next frame are painted.
  void WaitForPainting();

 private:
  struct Native;
  Native* native_;
};

}  // namespace rt

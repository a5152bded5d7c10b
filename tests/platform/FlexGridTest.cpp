#include "platform/controls/FlexGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"
#include "tests/support/Sandbox.h"

using namespace rt;


class FlexGridTest : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    form.Load();
  }

  QTableView* View() { return qobject_cast<QTableView*>(grid.Widget()); }
  // The colour painted in the middle of a cell (which must hold no text there).
  QColor Painted(int row, int col) {
    QTableView* v = View();
    const QRect cell = v->visualRect(v->model()->index(row, col));
    return v->viewport()->grab().toImage().pixelColor(cell.center());
  }
  QColor PaintedAt(int row, int col, int dx) {
    QTableView* v = View();
    const QRect cell = v->visualRect(v->model()->index(row, col));
    return v->viewport()->grab().toImage().pixelColor(cell.left() + dx, cell.center().y());
  }
  void Mouse(QEvent::Type type, int row, int col) {
    QTableView* v = View();
    const QPointF at = v->visualRect(v->model()->index(row, col)).center();
    QMouseEvent e(type, at, v->viewport()->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v->viewport(), &e);
  }
  void Show() {
    grid.Move(0, 0, 6000, 4000);
    form.Show();
    QApplication::processEvents();
  }
  // What the window shows of the grid's cells now: the window's own pixels, as the last paintings left them
  // (a grab of the widget would paint every cell afresh and hide a cell that was never painted again).
  QImage Shown() {
    QWidget* v = View()->viewport();
    QWidget* top = v->window();
    const QPoint at = v->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()->grabWindow(top->winId(), at.x(), at.y(), v->width(), v->height()).toImage();
  }
  // The same after every cell was painted again.
  QImage Repainted() {
    View()->viewport()->update();
    View()->viewport()->repaint();
    return Shown();
  }
  // Where the two pictures differ: the first differing pixel ("" when they are the same).
  static std::string Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) return "at " + std::to_string(x) + "," + std::to_string(y);
    return "";
  }
  // Row and column of the current cell, for comparing at once.
  std::pair<long, long> Current() { return {grid.Row(), grid.Col()}; }

  TestForm form;
  FlexGrid grid{form, "FG3"};
};

TEST_F(FlexGridTest, StartsWithOneHeadingRowAndColumnAndChecksBounds) {
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 2);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.FixedCols(), 1);
  EXPECT_EQ(Current(), std::make_pair(1L, 1L));

  grid.SetTextMatrix(0, 1, "Last");
  grid.SetTextMatrix(1, 0, "ACME");
  EXPECT_EQ(grid.TextMatrix(0, 1), "Last");
  EXPECT_EQ(grid.TextMatrix(1, 0), "ACME");
  EXPECT_TRUE(View()->horizontalHeader()->isHidden());
  EXPECT_TRUE(View()->verticalHeader()->isHidden());

  for (auto [r, c] : {std::pair{2L, 0L}, {0L, 2L}, {-1L, 0L}, {0L, -1L}}) {
    EXPECT_EQ(ErrorOf([&] { grid.TextMatrix(r, c); }), 381) << r << "," << c;
    EXPECT_EQ(ErrorOf([&] { grid.SetTextMatrix(r, c, "x"); }), 381) << r << "," << c;
  }
  EXPECT_EQ(ErrorOf([&] { grid.SetRow(2); }), 381);
}

TEST_F(FlexGridTest, CurrentCellTextAndSelectionCorners) {
  grid.SetRows(5);
  grid.SetCols(4);
  grid.SetRow(3);
  grid.SetCol(2);
  grid.SetText("12.5");
  EXPECT_EQ(grid.TextMatrix(3, 2), "12.5");
  grid.SetRowSel(4);
  grid.SetColSel(3);
  EXPECT_EQ(grid.RowSel(), 4);
  EXPECT_EQ(grid.ColSel(), 3);
  grid.SetRow(2);  // the selection shrinks to the current cell again
  EXPECT_EQ(grid.RowSel(), 2);
  EXPECT_EQ(grid.ColSel(), 2);
  grid.SetColSel(3);
  grid.SetCol(1);
  EXPECT_EQ(grid.ColSel(), 1);
  EXPECT_EQ(grid.Text(), "");
}

TEST_F(FlexGridTest, ResizingKeepsTheTextOfRemainingCells) {
  grid.SetRows(5);
  grid.SetCols(3);
  for (long r = 0; r < 5; ++r)
    for (long c = 0; c < 3; ++c) grid.SetTextMatrix(r, c, std::to_string(r) + ":" + std::to_string(c));
  grid.SetRow(4);
  grid.SetCol(2);

  grid.SetRows(3);
  grid.SetCols(2);
  EXPECT_EQ(grid.TextMatrix(2, 1), "2:1");
  EXPECT_EQ(ErrorOf([&] { grid.TextMatrix(3, 0); }), 381);
  EXPECT_EQ(ErrorOf([&] { grid.TextMatrix(0, 2); }), 381);
  EXPECT_EQ(Current(), std::make_pair(2L, 1L));  // the current cell stays inside

  grid.SetRows(6);
  grid.SetCols(4);
  EXPECT_EQ(grid.TextMatrix(2, 1), "2:1");
  EXPECT_EQ(grid.TextMatrix(0, 0), "0:0");
  EXPECT_EQ(grid.TextMatrix(3, 0), "");  // dropped rows come back empty
  EXPECT_EQ(grid.TextMatrix(5, 3), "");
  EXPECT_EQ(grid.TextMatrix(1, 2), "");

  grid.SetRows(1);  // only the heading row
  EXPECT_EQ(grid.TextMatrix(0, 1), "0:1");
  EXPECT_EQ(ErrorOf([&] { grid.SetRows(0); }), errInvalidCall);  // fewer rows than headings
}

TEST_F(FlexGridTest, FillStyleDecidesWhichCellsAreFormatted) {
  grid.SetRows(7);
  grid.SetCols(4);
  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetRowSel(4);
  grid.SetColSel(3);
  grid.SetFillStyle(1);
  grid.SetCellBackColor(0x00FF00);
  grid.SetCellFontBold(true);

  grid.SetFillStyle(0);
  for (long r = 1; r < 7; ++r)
    for (long c = 0; c < 4; ++c) {
      grid.SetRow(r);
      grid.SetCol(c);
      const bool inside = r >= 2 && r <= 4 && c >= 1;
      EXPECT_EQ(grid.CellBackColor(), inside ? 0x00FF00 : 0) << r << "," << c;
      EXPECT_EQ(grid.CellFontBold(), inside) << r << "," << c;
    }

  // the selection may run upwards from the current cell
  grid.SetRow(6);
  grid.SetCol(1);
  grid.SetRowSel(5);
  grid.SetCellForeColor(0x0000FF);  // FillStyle 0: the current cell only
  grid.SetCellFontName("Serif");
  EXPECT_EQ(grid.CellForeColor(), 0x0000FF);
  EXPECT_EQ(grid.CellFontName(), "Serif");
  grid.SetRow(5);
  EXPECT_EQ(grid.CellForeColor(), 0);
  EXPECT_NE(grid.CellFontName(), "Serif");

  grid.SetRow(6);
  grid.SetRowSel(5);
  grid.SetColSel(2);
  grid.SetFillStyle(1);
  grid.SetCellForeColor(0);  // black is a colour of its own, not "none"
  grid.SetFillStyle(0);
  grid.SetRow(5);
  grid.SetCol(2);
  EXPECT_EQ(grid.CellForeColor(), 0);
  EXPECT_EQ(ErrorOf([&] { grid.SetFillStyle(2); }), errInvalidCall);
}

TEST_F(FlexGridTest, PaintsHeadingsDefaultAndOwnColours) {
  grid.SetRows(4);
  grid.SetCols(3);
  Show();
  const QColor heading = QGuiApplication::palette().color(QPalette::Button);
  EXPECT_EQ(Painted(0, 1), heading);
  EXPECT_EQ(Painted(2, 0), heading);
  EXPECT_EQ(Painted(2, 2), QColor(Qt::white));

  grid.SetRow(2);
  grid.SetCol(2);
  grid.SetCellBackColor(0x0000FF);  // red
  EXPECT_EQ(Painted(2, 2), QColor(255, 0, 0));
  grid.SetCellBackColor(0);
  EXPECT_EQ(grid.CellBackColor(), 0);
  EXPECT_EQ(Painted(2, 2), QColor(Qt::white));

  grid.SetBackColor(0xFFFF00);  // cyan: the grid's own background, headings keep theirs
  EXPECT_EQ(Painted(2, 2), QColor(0, 255, 255));
  EXPECT_EQ(Painted(0, 1), heading);

  grid.SetRow(0);  // code may format headings too
  grid.SetCol(1);
  grid.SetCellBackColor(0x00FF00);
  EXPECT_EQ(Painted(0, 1), QColor(0, 255, 0));
}

TEST_F(FlexGridTest, RowSelectionHighlightsWholeRowsButNotHeadings) {
  grid.SetRows(5);
  grid.SetCols(4);
  Show();
  grid.SetSelectionMode(1);
  grid.SetRow(3);
  const QColor highlight = View()->palette().color(QPalette::Highlight);
  EXPECT_EQ(Painted(3, 1), highlight);
  EXPECT_EQ(Painted(3, 3), highlight);
  EXPECT_NE(Painted(3, 0), highlight);
  EXPECT_NE(Painted(2, 2), highlight);
}

TEST_F(FlexGridTest, CellPicturesAreDrawnAndRemoved) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 0));
  const std::string path = home + "/up.bmp";
  ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
  grid.SetRows(4);
  grid.SetCols(3);
  Show();

  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetCellPicture(path);
  grid.SetText("text");
  EXPECT_EQ(grid.CellPicture(), path);
  EXPECT_EQ(PaintedAt(2, 1, 4), QColor(255, 0, 0));  // at the left, before the text

  EXPECT_EQ(ErrorOf([&] { grid.SetCellPicture(home + "/missing.bmp"); }), errFileNotFound);
  EXPECT_EQ(grid.CellPicture(), path);

  grid.SetCellPicture("");
  EXPECT_EQ(grid.CellPicture(), "");
  EXPECT_EQ(PaintedAt(2, 1, 2), QColor(Qt::white));
  EXPECT_EQ(grid.Text(), "text");

  // with FillStyle 1 one picture goes to every selected cell
  grid.SetRowSel(3);
  grid.SetColSel(2);
  grid.SetFillStyle(1);
  grid.SetCellPicture(path);
  EXPECT_EQ(PaintedAt(3, 2, 4), QColor(255, 0, 0));
}

TEST_F(FlexGridTest, RowHeightZeroHidesAndMinusOneRestores) {
  grid.SetRows(4);
  const double normal = grid.RowHeight(2);
  EXPECT_GT(normal, 0);
  grid.SetRowHeight(2, 0);
  EXPECT_EQ(grid.RowHeight(2), 0);
  EXPECT_TRUE(View()->isRowHidden(2));
  EXPECT_EQ(grid.RowHeight(1), normal);

  grid.SetRowHeight(2, -1);
  EXPECT_FALSE(View()->isRowHidden(2));
  EXPECT_EQ(grid.RowHeight(2), normal);

  grid.SetRowHeight(3, 600);
  EXPECT_NEAR(grid.RowHeight(3), 600, TwipsPerPixelY());
  grid.SetRowHeight(3, 0);
  grid.SetRowHeight(3, 400);  // a height shows a hidden row again
  EXPECT_NEAR(grid.RowHeight(3), 400, TwipsPerPixelY());
  EXPECT_EQ(ErrorOf([&] { grid.RowHeight(4); }), 381);

  // hidden rows move with the rows around them
  grid.SetRowHeight(2, 0);
  grid.AddItem("new", 1);
  EXPECT_EQ(grid.RowHeight(2), normal);
  EXPECT_EQ(grid.RowHeight(3), 0);
}

TEST_F(FlexGridTest, ColWidthRoundTripsInTwips) {
  grid.SetCols(4);
  const double normal = grid.ColWidth(2);
  for (double twips : {1500.0, 615.0, 2000.0}) {
    grid.SetColWidth(1, twips);
    EXPECT_NEAR(grid.ColWidth(1), twips, TwipsPerPixelX()) << twips;
  }
  grid.SetColWidth(3, 0);
  EXPECT_EQ(grid.ColWidth(3), 0);
  EXPECT_TRUE(View()->isColumnHidden(3));
  grid.SetColWidth(3, -1);
  EXPECT_EQ(grid.ColWidth(3), normal);
  EXPECT_EQ(ErrorOf([&] { grid.SetColWidth(4, 100); }), 381);
}

TEST_F(FlexGridTest, ClearEmptiesTextsAndFormattingButKeepsRows) {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::blue);
  const std::string path = home + "/dot.bmp";
  ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
  grid.SetRows(6);
  grid.SetCols(3);
  grid.SetTextMatrix(0, 1, "Symbol");
  grid.SetTextMatrix(5, 2, "1.25");
  grid.SetRow(5);
  grid.SetCol(2);
  grid.SetCellPicture(path);
  grid.SetCellBackColor(0x00FFFF);
  grid.SetCellForeColor(0xFF0000);
  grid.SetCellFontBold(true);
  grid.SetCellFontName("Serif");

  grid.Clear();
  EXPECT_EQ(grid.Rows(), 6);
  EXPECT_EQ(grid.Cols(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 1), "");
  EXPECT_EQ(grid.TextMatrix(5, 2), "");
  EXPECT_EQ(grid.CellPicture(), "");
  EXPECT_EQ(grid.CellBackColor(), 0);
  EXPECT_EQ(grid.CellForeColor(), 0);
  EXPECT_FALSE(grid.CellFontBold());
  EXPECT_EQ(grid.CellFontName(), grid.FontName());
}

TEST_F(FlexGridTest, SimulatedClicksMoveTheCurrentRowAndFireOnce) {
  grid.SetRows(6);
  grid.SetCols(4);
  grid.SetSelectionMode(1);
  int clicks = 0, doubleClicks = 0;
  long rowSeen = -1, mouseRowSeen = -1;
  grid.Click = [&] {
    ++clicks;
    rowSeen = grid.Row();  // the handler already sees where the click went
    mouseRowSeen = grid.MouseRow();
  };
  grid.DblClick = [&] { ++doubleClicks; };

  grid.SimulateClick(3, 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(rowSeen, 3);
  EXPECT_EQ(mouseRowSeen, 3);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(grid.MouseRow(), 3);
  EXPECT_EQ(grid.MouseCol(), 2);
  EXPECT_EQ(grid.RowSel(), 3);
  EXPECT_EQ(std::min(grid.Col(), grid.ColSel()), 1);  // the whole row
  EXPECT_EQ(std::max(grid.Col(), grid.ColSel()), 3);

  grid.SimulateClick(0, 2);  // a heading
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(grid.MouseRow(), 0);
  EXPECT_EQ(grid.Row(), 3);

  grid.SimulateClick(4, 1, true);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(grid.Row(), 4);

  grid.SetSelectionMode(0);
  grid.SimulateClick(2, 2);
  EXPECT_EQ(Current(), std::make_pair(2L, 2L));
  EXPECT_EQ(grid.ColSel(), 2);
  EXPECT_EQ(ErrorOf([&] { grid.SimulateClick(6, 0); }), 381);
}

TEST_F(FlexGridTest, MouseClicksOnCellsAndHeadings) {
  grid.SetRows(6);
  grid.SetCols(4);
  Show();
  int clicks = 0;
  long rowSeen = -1;
  grid.Click = [&] {
    ++clicks;
    rowSeen = grid.Row();
  };

  Mouse(QEvent::MouseMove, 4, 2);
  EXPECT_EQ(grid.MouseRow(), 4);
  EXPECT_EQ(grid.MouseCol(), 2);
  EXPECT_EQ(clicks, 0);

  Mouse(QEvent::MouseButtonPress, 3, 2);
  Mouse(QEvent::MouseButtonRelease, 3, 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(rowSeen, 3);
  EXPECT_EQ(Current(), std::make_pair(3L, 2L));

  Mouse(QEvent::MouseButtonPress, 0, 1);
  Mouse(QEvent::MouseButtonRelease, 0, 1);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(grid.MouseRow(), 0);
  EXPECT_EQ(grid.Row(), 3);
}

TEST_F(FlexGridTest, AddItemSplitsAtTabsAndInsertsBeforeIndex) {
  grid.SetCols(3);
  grid.SetRows(1);
  grid.AddItem("ACME\t12.50\t+0.25");
  grid.AddItem("BOLT\t7\t-1\textra");
  ASSERT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(1, 0), "ACME");
  EXPECT_EQ(grid.TextMatrix(1, 2), "+0.25");
  EXPECT_EQ(grid.TextMatrix(2, 1), "7");

  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetCellBackColor(0xFF);
  grid.AddItem("CRAB", 1);
  ASSERT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.TextMatrix(1, 0), "CRAB");
  EXPECT_EQ(grid.TextMatrix(1, 1), "");
  EXPECT_EQ(grid.TextMatrix(2, 0), "ACME");
  EXPECT_EQ(grid.TextMatrix(3, 0), "BOLT");
  grid.SetRow(3);  // the formatting went along with its row
  EXPECT_EQ(grid.CellBackColor(), 0xFF);

  grid.RemoveItem(1);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(1, 0), "ACME");
  EXPECT_EQ(Current(), std::make_pair(2L, 1L));
  EXPECT_EQ(ErrorOf([&] { grid.RemoveItem(3); }), 381);
  EXPECT_EQ(ErrorOf([&] { grid.AddItem("x", 5); }), 381);
}

// Each change repaints only what it changes: after every step, with the events run as a cycle runs them
// between its rows, the window shows what a painting of every cell shows.
TEST_F(FlexGridTest, WhatAChangeRepaintsLooksLikeAFullRepaint) {
  QImage red(8, 8, QImage::Format_RGB32), blue(8, 8, QImage::Format_RGB32);
  red.fill(Qt::red);
  blue.fill(Qt::blue);
  const std::string up = home + "/up.bmp", down = home + "/down.bmp";
  ASSERT_TRUE(red.save(QString::fromStdString(up), "BMP"));
  ASSERT_TRUE(blue.save(QString::fromStdString(down), "BMP"));
  grid.SetRows(9);
  grid.SetCols(6);
  for (long r = 0; r < 9; ++r)
    for (long c = 0; c < 6; ++c) grid.SetTextMatrix(r, c, r == 0 || c == 0 ? "H" + std::to_string(r + c) : "1.5");
  grid.SetRowHeight(4, 0);
  Show();
  View()->activateWindow();
  View()->setFocus();

  for (long mode : {0L, 1L, 2L}) {
    grid.SetSelectionMode(mode);
    grid.SetFillStyle(0);
    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"row", [&] { grid.SetRow(3); }},
        {"column", [&] { grid.SetCol(4); }},
        {"same row again", [&] { grid.SetRow(3); }},
        {"text", [&] { grid.SetTextMatrix(5, 2, "27.50"); }},
        {"text of the current cell", [&] { grid.SetText("ACME"); }},
        {"picture", [&] { grid.SetCellPicture(up); }},
        {"another picture", [&] { grid.SetCellPicture(down); }},
        {"fore colour", [&] { grid.SetCellForeColor(0x0000FF); }},
        {"back colour", [&] { grid.SetCellBackColor(0x00FFFF); }},
        {"bold", [&] { grid.SetCellFontBold(true); }},
        {"row down", [&] { grid.SetRow(7); }},
        {"column left", [&] { grid.SetCol(2); }},
        {"range", [&] {
           grid.SetRowSel(4);
           grid.SetColSel(5);
         }},
        {"range formatted", [&] {
           grid.SetFillStyle(1);
           grid.SetCellBackColor(0xFF00FF);
           grid.SetCellPicture(up);
         }},
        {"range narrowed", [&] { grid.SetRowSel(6); }},
        {"range cleared of its picture", [&] { grid.SetCellPicture(""); }},
        {"heading row", [&] {
           grid.SetRow(0);
           grid.SetCol(1);
         }},
        {"back to a cell", [&] {
           grid.SetRow(2);
           grid.SetCol(3);
         }},
        {"click", [&] { Mouse(QEvent::MouseButtonPress, 6, 1); }},
        {"drag", [&] { Mouse(QEvent::MouseMove, 8, 4); }},
        {"release", [&] { Mouse(QEvent::MouseButtonRelease, 8, 4); }},
        {"text in a hidden row", [&] { grid.SetTextMatrix(4, 3, "9.9"); }},
        {"range from a hidden row", [&] {
           grid.SetRow(4);
           grid.SetCol(1);
           grid.SetRowSel(1);
           grid.SetColSel(3);
         }},
        {"hidden row current", [&] { grid.SetRowSel(4); }},
    };
    for (const auto& [name, step] : steps) {
      step();
      QApplication::processEvents();
      grid.WaitForPainting();
      const QImage shown = Shown();
      EXPECT_EQ(Difference(shown, Repainted()), "") << "selection mode " << mode << ", " << name;
    }
    grid.Clear();
    QApplication::processEvents();
  }
}

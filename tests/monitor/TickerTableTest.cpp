#include <gtest/gtest.h>

#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "tests/monitor/MonitorSandbox.h"
#include "tests/support/Input.h"

using Tollerwick_Main::MainForm;

class TickerTable : public MonitorSandbox {
 protected:
  std::string File() const { return home + "/download/TickerSettings.vyk"; }
  std::string Ini() const { return home + "/download/TickerSettings.ini"; }
  rt::FlexGrid& Grid() { return MainForm->FG3; }
  std::string Cell(long row, long col) { return Grid().TextMatrix(row, col); }
  std::string PictureName(long row) {
    Grid().SetRow(row);
    Grid().SetCol(0);
    const std::string p = Grid().CellPicture();
    return p.substr(p.find_last_of('/') + 1);
  }
  long Back(long row) {
    Grid().SetRow(row);
    Grid().SetCol(5);
    return Grid().CellBackColor();
  }
  void Start() {
    ASSERT_TRUE(RunMain());
    ASSERT_NE(MainForm, nullptr);
  }
};

TEST_F(TickerTable, TheFileRoundTripsQuotedCommasAndEmptyFieldsAndSkipsBlankTickers) {
  WriteFile(File(),
            "\"IBM\",\"150,5\",\"\",\"1\",\"00:00:00\"\r\n"
            "\"  \",\"1\",\"2\",\"1\",\"00:00:00\"\r\n"
            "\" ab c \",\"\",\"99.5\",\"2\",\"12/5/2026 3:10:00 PM\"\r\n");
  Start();
  ASSERT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Cell(1, 0), "-");
  EXPECT_EQ(Cell(1, 3), "Portfolio");
  EXPECT_EQ(Cell(0, 14), "Last alert message");
  EXPECT_EQ(Cell(2, 2), "IBM");
  EXPECT_EQ(Cell(2, 11), "150,5");
  EXPECT_EQ(Cell(3, 2), " ab c ");  // loaded as it stands
  EXPECT_EQ(Cell(3, 14), "12/5/2026 3:10:00 PM");
  Tollerwick_Sub::Save_TickerSettings();
  EXPECT_EQ(ReadFile(File()),
            "\"IBM\",\"150,5\",\"\",\"1\",\"00:00:00\"\r\n"
            "\" ab c \",\"\",\"99.5\",\"2\",\"12/5/2026 3:10:00 PM\"\r\n");
  // a row whose ticker was emptied is written, and skipped by the next load
  MainForm->cmdAddTicker_Click();
  Tollerwick_Sub::Save_TickerSettings();
  EXPECT_NE(ReadFile(File()).find("\"\",\"\",\"\",\"1\",\"00:00:00\"\r\n"), std::string::npos);
  MainForm->FillGrid(false);
  EXPECT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Tollerwick_Sub::TickerCount, 2);
}

TEST_F(TickerTable, AListKeptElsewhereThroughALinkIsSavedThereAndTheLinkStays) {
  std::filesystem::create_directories(root + "/dotfiles");
  const std::string kept = root + "/dotfiles/tickers";
  WriteFile(kept, "\"IBM\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  std::filesystem::create_directories(home + "/download");
  std::filesystem::create_symlink("../../dotfiles/tickers", File());
  Start();
  EXPECT_EQ(Cell(2, 2), "IBM");
  MainForm->cmdAddTicker_Click();
  MainForm->txtTicker.SetText("SAP");
  ASSERT_TRUE(Tollerwick_Sub::Save_TickerSettings());
  EXPECT_TRUE(std::filesystem::is_symlink(File()));
  EXPECT_EQ(ReadFile(kept), "\"IBM\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"SAP\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  EXPECT_FALSE(std::filesystem::exists(kept + ".new"));
}

TEST_F(TickerTable, ADamagedListIsKeptByteForByteBeforeTheNextSaveWritesOverIt) {
  // the second record is one field short: the fields after it are read one place early
  const std::string damaged =
      "\"AAA\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"BBB\",\"\",\"\",\"2\"\r\n"
      "\"CCC\",\"10\",\"5\",\"1\",\"00:00:00\"\r\n\"DDD\",\"\",\"\",\"2\",\"00:00:00\"\r\n";
  WriteFile(File(), damaged);
  Start();
  Exit();
  std::vector<std::string> kept;
  for (const auto& e : std::filesystem::directory_iterator(home + "/download"))
    if (e.path().filename().string().rfind("TickerSettings.vyk.damaged-", 0) == 0) kept.push_back(e.path().string());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(ReadFile(kept[0]), damaged);
  EXPECT_NE(ErrorLog().find("it was kept as " + kept[0]), std::string::npos) << ErrorLog();
  // a second start with the list as the save left it keeps nothing more
  Start();
  Exit();
  kept.clear();
  for (const auto& e : std::filesystem::directory_iterator(home + "/download"))
    if (e.path().filename().string().find(".damaged-") != std::string::npos) kept.push_back(e.path().string());
  EXPECT_EQ(kept.size(), 1u);
}

TEST_F(TickerTable, TheIniFileIsReadWhenTheListIsMissingAndTheFirstSaveWritesTheList) {
  WriteFile(Ini(), "\"SAP\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  ASSERT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(Cell(2, 2), "SAP");
  Tollerwick_Sub::Save_Settings();
  EXPECT_EQ(ReadFile(File()), "\"SAP\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  WriteFile(Ini(), "\"OTHER\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  MainForm->FillGrid(false);
  EXPECT_EQ(Cell(2, 2), "SAP");
}

TEST_F(TickerTable, WithoutAnyFileTheTableHasOneEmptyRowAndTheStripOneEntry) {
  Start();
  ASSERT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(Cell(2, 2), "");
  EXPECT_EQ(Cell(2, 13), "1");
  EXPECT_EQ(Cell(2, 14), "00:00:00");
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "2");
  EXPECT_EQ(Tollerwick_Sub::TickerCount, 1);
  EXPECT_EQ(Tollerwick_Sub::TickerLabels[1]->Caption(), "");
  EXPECT_EQ(PictureName(2), "unknown.bmp");
  EXPECT_EQ(PictureName(1), "fileopen.bmp");
}

TEST_F(TickerTable, AddingColoursByTurnsFromRowTwoAndResetsThePictures) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  // a load colours from the last row up
  EXPECT_EQ(Back(3), 0xC0FFFF);
  EXPECT_EQ(Back(2), 0);
  EXPECT_EQ(Back(1), 0xC0C0C0);
  Grid().SetRow(2);
  Grid().SetCol(0);
  Grid().SetCellPicture(common + "/bitmap/up.bmp");
  MainForm->cmdAddTicker_Click();
  ASSERT_EQ(Grid().Rows(), 5);
  EXPECT_EQ(Back(2), 0xC0FFFF);
  EXPECT_EQ(Back(3), 0);
  EXPECT_EQ(Back(4), 0xC0FFFF);
  EXPECT_EQ(PictureName(2), "unknown.bmp");
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "4");
  EXPECT_EQ(MainForm->txtTicker.Text(), "");
  EXPECT_EQ(Tollerwick_Sub::TickerCount, 3);
  // with an even number of ticker rows an addition colours the other way round from a load
  MainForm->cmdAddTicker_Click();
  EXPECT_EQ(Back(2), 0xC0FFFF);
  EXPECT_EQ(Back(5), 0);
}

TEST_F(TickerTable, AClickFillsTheBoxesAndTheTickerIsWrittenBackInUpperCase) {
  WriteFile(File(),
            "\"x\",\"\",\"\",\"1\",\"00:00:00\"\r\n\" ab c \",\"10\",\"5,5\",\"2\",\"00:00:00\"\r\n"
            "\"q\",\"7\",\"\",\"3\",\"00:00:00\"\r\n");
  Start();
  Grid().SimulateClick(3, 2);
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "3");
  EXPECT_EQ(MainForm->cmbProvider.ListIndex(), 1);
  EXPECT_EQ(MainForm->txtHigh.Text(), "10");
  EXPECT_EQ(MainForm->txtLow.Text(), "5,5");
  EXPECT_EQ(MainForm->txtTicker.Text(), " AB C ");
  EXPECT_EQ(Cell(3, 2), " AB C ");
  EXPECT_EQ(Cell(3, 13), "2");
  // the header and group rows count as row 2
  Grid().SimulateClick(0, 3);
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "2");
  EXPECT_EQ(MainForm->txtTicker.Text(), "X");
  // typing a limit writes it into the current row
  MainForm->txtHigh.SetText("42");
  EXPECT_EQ(Cell(2, 11), "42");
  // a provider number the list does not have is reported; the row is current, the boxes keep their text
  Grid().SimulateClick(4, 2);
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "4");
  EXPECT_EQ(MainForm->txtHigh.Text(), "42");
  EXPECT_EQ(MainForm->txtTicker.Text(), "X");
  EXPECT_EQ(Cell(4, 2), "q");
  EXPECT_NE(ErrorLog().find("Fg3_Click of Formular frmMain_Tollerwick"), std::string::npos);
}

TEST_F(TickerTable, DeletingGoesThroughTheTickerBox) {
  WriteFile(File(),
            "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n"
            "\"C\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  // the box is empty after the start: nothing is blanked, the same rows come back
  MainForm->cmdDeleteTicker_Click();
  EXPECT_EQ(Grid().Rows(), 5) << ReadFile(File()) << ErrorLog();
  Grid().SimulateClick(3, 2);
  MainForm->cmdDeleteTicker_Click();
  ASSERT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Cell(2, 2), "A");
  EXPECT_EQ(Cell(3, 2), "C");
  EXPECT_EQ(Tollerwick_Sub::SelectedRow, "3");
  EXPECT_EQ(Tollerwick_Sub::TickerCount, 2);
  EXPECT_EQ(Tollerwick_Sub::TickerLabels[2]->Caption(), "C");
  EXPECT_EQ(ReadFile(File()), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"\",\"\",\"\",\"1\",\"00:00:00\"\r\n"
                              "\"C\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
}

TEST_F(TickerTable, TheGroupRowCollapsesAndExpandsByTheFirstRowBelow) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  const double standard = Grid().RowHeight(2);
  Grid().SimulateClick(1, 0, true);
  EXPECT_EQ(Cell(1, 0), "+");
  EXPECT_EQ(PictureName(1), "fileclose.bmp");
  EXPECT_EQ(Grid().RowHeight(2), 0);
  EXPECT_EQ(Grid().RowHeight(3), 0);
  Grid().SimulateClick(1, 0, true);
  EXPECT_EQ(Cell(1, 0), "-");
  EXPECT_EQ(Grid().RowHeight(3), standard);
  // the heights follow the first row below, not the marker
  Grid().SetRowHeight(2, 0);
  Grid().SimulateClick(1, 0, true);
  EXPECT_EQ(Cell(1, 0), "+");
  EXPECT_EQ(Grid().RowHeight(2), standard);
  EXPECT_EQ(Grid().RowHeight(3), standard);
  // a double click on the header row does nothing
  Grid().SimulateClick(0, 2, true);
  EXPECT_EQ(Cell(1, 0), "+");
}

TEST_F(TickerTable, AFailedSaveLeavesThePreviousListWhole) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  MainForm->cmdAddTicker_Click();
  // the new list cannot be written where it is made
  std::filesystem::create_directories(File() + ".new/blocked");
  Tollerwick_Sub::Save_TickerSettings();
  EXPECT_EQ(ReadFile(File()), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  EXPECT_NE(ErrorLog().find("Save_TickerSettings of Modul Tollerwick_Sub"), std::string::npos);
  std::filesystem::remove_all(File() + ".new");
  Tollerwick_Sub::Save_TickerSettings();
  EXPECT_EQ(Lines(ReadFile(File())).size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(File() + ".new"));
}

TEST_F(TickerTable, AShortLastRecordEndsTheReadingAndKeepsTheRowsBefore) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"1\"\r\n");
  Start();
  EXPECT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(Cell(2, 2), "A");
  EXPECT_EQ(Tollerwick_Sub::TickerCount, 1);
  EXPECT_NE(ErrorLog().find("FillGrid of Formular frmMain_Tollerwick  0  62  Input past end of file"),
            std::string::npos);
}

TEST_F(TickerTable, AStartAndAnExitGiveTheListBackByteForByte) {
  const std::string list = "\"MSFT\",\"\",\"\",\"2\",\"00:00:00\"\r\n\"IBM\",\"\",\"\",\"2\",\"00:00:00\"\r\n";
  WriteFile(File(), list);
  Start();
  // the list shows its first item, and that start-up selection writes nothing into the first row
  EXPECT_EQ(MainForm->cmbProvider.Text(), "Yahoo        1");
  EXPECT_EQ(Cell(2, 13), "2");
  Exit();
  EXPECT_EQ(ReadFile(File()), list);
}

TEST_F(TickerTable, TheUsersChoiceInTheProviderListStillWritesIntoTheCurrentRow) {
  WriteFile(File(), "\"MSFT\",\"\",\"\",\"2\",\"00:00:00\"\r\n\"IBM\",\"\",\"\",\"2\",\"00:00:00\"\r\n");
  Start();
  Grid().SimulateClick(3, 2);
  MainForm->cmbProvider.SetListIndex(0);
  EXPECT_EQ(Cell(3, 13), "1");
  EXPECT_EQ(Cell(2, 13), "2");
}

TEST_F(TickerTable, TheBoxesTakeNoDoubleQuote) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  MainForm->txtTicker.SetText("MS\"FT");
  MainForm->txtHigh.SetText("2\"50");
  MainForm->txtLow.SetText("\"1\"0\"");
  EXPECT_EQ(MainForm->txtTicker.Text(), "MSFT");
  EXPECT_EQ(MainForm->txtHigh.Text(), "250");
  EXPECT_EQ(MainForm->txtLow.Text(), "10");
  EXPECT_EQ(Cell(2, 2), "MSFT");
  EXPECT_EQ(Cell(2, 11), "250");
  EXPECT_EQ(Cell(2, 12), "10");
  Tollerwick_Sub::Save_TickerSettings();
  EXPECT_EQ(ReadFile(File()), "\"MSFT\",\"250\",\"10\",\"1\",\"00:00:00\"\r\n");
}

TEST_F(TickerTable, ATickerTypedInAnyScriptIsKeptInCapitalsAndComesBackExactly) {
  Start();
  QWidget* box = MainForm->txtTicker.Widget();
  TypeKeys(box, QString::fromUtf8("\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E"));  // äöü€𝄞
  const std::string capitals = "\xC3\x84\xC3\x96\xC3\x9C\xE2\x82\xAC\xF0\x9D\x84\x9E";     // ÄÖÜ€𝄞
  EXPECT_EQ(MainForm->txtTicker.Text(), capitals);
  EXPECT_EQ(Cell(2, 2), capitals);
  // a double quote typed between two characters is taken out, and the caret stays between them
  CaretTo(box, 2);
  TypeKeys(box, "\"");
  EXPECT_EQ(MainForm->txtTicker.Text(), capitals);
  EXPECT_EQ(MainForm->txtTicker.SelStart(), 2);
  Exit();
  EXPECT_EQ(ReadFile(File()), "\"" + capitals + "\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  EXPECT_EQ(Cell(2, 2), capitals);
}

// Cells filled by other means than the boxes may still hold a double quote: the save drops it, so whatever
// the cells hold, the list loads back as the same rows.
TEST_F(TickerTable, RowsOfEveryPrintableCharacterComeBackAsTheSameRows) {
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) printable += c;
  Start();
  const long rows = 6;
  while (Grid().Rows() < rows + 2) MainForm->cmdAddTicker_Click();
  const long cols[] = {2, 11, 12, 13, 14};
  std::vector<std::vector<std::string>> expected;
  for (long r = 0; r < rows; ++r) {
    std::vector<std::string> fields;
    for (long c = 0; c < 5; ++c) {
      // every field holds every printable character, each row and column rotated differently
      const size_t turn = static_cast<size_t>(r * 17 + c * 5) % printable.size();
      const std::string text = "x" + printable.substr(turn) + printable.substr(0, turn);
      Grid().SetTextMatrix(r + 2, cols[c], text);
      std::string kept;
      for (char ch : text)
        if (ch != '"') kept += ch;
      fields.push_back(kept);
    }
    expected.push_back(fields);
  }
  ASSERT_TRUE(Tollerwick_Sub::Save_TickerSettings());
  EXPECT_EQ(Lines(ReadFile(File())).size(), static_cast<size_t>(rows));
  MainForm->FillGrid(false);
  ASSERT_EQ(Grid().Rows(), rows + 2) << ReadFile(File());
  for (long r = 0; r < rows; ++r)
    for (long c = 0; c < 5; ++c) EXPECT_EQ(Cell(r + 2, cols[c]), expected[r][c]) << "row " << r << " field " << c;
  EXPECT_EQ(ErrorLog().find("FillGrid"), std::string::npos);
}

TEST_F(TickerTable, AFailedSaveBeforeADeleteKeepsTheRowsAndLimitsTyped) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"1\",\"00:00:00\"\r\n");
  Start();
  MainForm->cmdAddTicker_Click();
  MainForm->txtTicker.SetText("NEW");
  MainForm->txtHigh.SetText("10");
  std::filesystem::create_directories(File() + ".new/blocked");
  Grid().SimulateClick(2, 2);
  MainForm->cmdDeleteTicker_Click();
  EXPECT_NE(ErrorLog().find("Save_TickerSettings of Modul Tollerwick_Sub"), std::string::npos);
  ASSERT_EQ(Grid().Rows(), 5);
  EXPECT_EQ(Cell(3, 2), "B");
  EXPECT_EQ(Cell(4, 2), "NEW");
  EXPECT_EQ(Cell(4, 11), "10");
  // once the list can be written again, the delete goes through
  std::filesystem::remove_all(File() + ".new");
  MainForm->cmdDeleteTicker_Click();
  ASSERT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Cell(2, 2), "B");
  EXPECT_EQ(Cell(3, 2), "NEW");
  EXPECT_EQ(Cell(3, 11), "10");
}

TEST_F(TickerTable, EmptyLinesAtTheEndOfTheFileAreNoRecord) {
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\"B\",\"\",\"\",\"2\",\"00:00:00\"\r\n\r\n");
  Start();
  EXPECT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Cell(3, 13), "2");
  EXPECT_EQ(ErrorLog().find("FillGrid"), std::string::npos);
  EXPECT_FALSE(MainForm->lblError.Visible());
  WriteFile(File(), "\"A\",\"\",\"\",\"1\",\"00:00:00\"\r\n\r\n\r\n\r\n");
  MainForm->FillGrid(false);
  EXPECT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(ErrorLog().find("FillGrid"), std::string::npos);
}

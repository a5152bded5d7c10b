// The main window's ticker table: loading it from the ticker file, adding and deleting rows, the clicks on
// the grid and the edit boxes that write into the current row.

#include <algorithm>
#include <functional>

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_File_Dir.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmScrollTicker.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"

namespace {

constexpr long kLastCol = 14;
constexpr long kGroupBack = 0xC0C0C0;
constexpr long kTickerBack = 0xC0FFFF;

Trap Here(const char* procedure) { return HandlerTrap(std::string(procedure) + " of Formular frmMain_Tollerwick"); }


const char* const kHeaders[] = {"",     "Ticker", "Last",      "Change  (%)", "Bid  (size)",
                                "Ask  (size)", "Volume", "High", "Low",         "Open",
                                "HighLimit",   "LowLimit", "Provider", "Last alert message"};

}  // namespace

long frmMain_Tollerwick::CurrentRow() { return rt::CLng(Tollerwick_Sub::SelectedRow); }

// Selects columns 0 to 14 of a row, so that one formatting call colours the whole row.
void frmMain_Tollerwick::SelectRow(long row) {
  FG3.SetRow(row);
  FG3.SetCol(0);
  FG3.SetRowSel(row);
  FG3.SetColSel(kLastCol);
}

void frmMain_Tollerwick::SetRowPicture(long row, const std::string& picture) {
  FG3.SetRow(row);
  FG3.SetCol(0);
  FG3.SetCellPicture(picture);
}

// Status pictures back to "unknown", the group row grey and bold, ticker rows light yellow and white by
// turns, starting with yellow at `from`; a group row does not count in the turns.
void frmMain_Tollerwick::FormatRows(long from, long to, bool yellowFirst) {
  const long step = from <= to ? 1 : -1;
  bool yellow = yellowFirst;
  for (long row = from; row != to + step; row += step) {
    SetRowPicture(row, Tollerwick_Sub::BitmapPath("unknown.bmp"));
    SelectRow(row);
    if (!FG3.TextMatrix(row, 0).empty()) {
      FG3.SetCellBackColor(kGroupBack);
      FG3.SetCellFontBold(true);
      FG3.SetCellFontName("Arial");
      SetRowPicture(row, Tollerwick_Sub::BitmapPath("fileopen.bmp"));
    } else {
      FG3.SetCellBackColor(yellow ? kTickerBack : 0);
      yellow = !yellow;
    }
  }
}

void frmMain_Tollerwick::FillGrid(bool /*Add2Ticker*/) {
  using namespace Tollerwick_Sub;
  Trap trap = Here("FillGrid");
  trap([&] {
    rt::Default<frmScrollTicker>().Load();
    chkScrollingTicker_Click();

    for (long col = 1; col <= kLastCol; ++col) FG3.SetTextMatrix(0, col, kHeaders[col - 1]);
    FG3.SetForeColor(0);
    FG3.SetRows(1);
    FG3.SetRows(2);
    FG3.SetTextMatrix(1, 0, "-");
    FG3.SetTextMatrix(1, 3, "Portfolio");
    FG3.SetTextMatrix(1, 4, "Realtime");
    FG3.SetTextMatrix(1, 5, "Data");

    std::string file = TickerFilePath();
    std::string ini = TickerIniPath();
    if (!VYK_File_Dir::FileExists(file)) file = VYK_File_Dir::FileExists(ini) ? ini : "";
    if (file.empty()) {
      cmdAddTicker_Click();
    } else {
      // A read error ends the reading; the rows read so far stay and are formatted below.
      int f = 0;
      Trap reading = Here("FillGrid");
      reading.pump = false;
      const bool whole = reading([&] {
        f = rt::FreeFile();
        rt::Open(file, rt::OpenMode::Input, f);
        while (!rt::Eof(f)) {
          std::string fields[5];
          // Empty lines at the end of the file (as text editors leave them) are no record; a last record
          // that holds something and is cut short is still an error.
          bool emptyLinesAtEnd = false;
          for (int i = 0; i < 5 && !emptyLinesAtEnd; ++i) {
            emptyLinesAtEnd = i > 0 && rt::Eof(f) && std::all_of(fields, fields + i, std::mem_fn(&std::string::empty));
            if (!emptyLinesAtEnd) fields[i] = rt::InputItem(f);
          }
          if (emptyLinesAtEnd) break;
          if (rt::Trim(fields[0]).empty()) continue;
          const long row = FG3.Rows();
          FG3.SetRows(row + 1);
          FG3.SetTextMatrix(row, 2, fields[0]);
          for (long col = 11; col <= kLastCol; ++col) FG3.SetTextMatrix(row, col, fields[col - 10]);
        }
      });
      Skip([&] {
        if (f) rt::Close(f);
      });
      // The next save writes the rows read so far over the list: the file as it was found is kept beside it
      // first, and the log names the copy.
      if (!whole) {
        Trap keeping = Here("FillGrid");
        keeping.pump = false;
        keeping([&] {
          const std::string aside = rt::KeepCopyAside(file);
          rt::Raise(rt::errPathFileAccess, "The ticker file " + file + " could not be read whole; it was kept as " + aside);
        });
      }
    }

    FormatRows(FG3.Rows() - 1, 1, true);

    ClearScrollTicker();
    for (long row = 2; row < FG3.Rows(); ++row) AddScrollTicker(FG3.TextMatrix(row, 2));

    const double widths[] = {270, 0, 900, 1000, 1200, 1200, 1200};
    for (long col = 0; col < 7; ++col) FG3.SetColWidth(col, widths[col]);
    // the provider's column is as designed, or as wide as its heading; the stamp's as wide as the longest stamp
    // of the regional date and time form
    FG3.SetColWidth(13, std::max(700.0, FG3.ColWidthFor(FG3.TextMatrix(0, 13))));
    const std::string longestStamp = rt::FormatGeneralDate(
        rt::DateTime{rt::DateSerial(2000, 12, 28).serial + rt::TimeSerial(22, 58, 58).serial});
    FG3.SetColWidth(14, std::max(1700.0, FG3.ColWidthFor(longestStamp)));
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::cmdAddTicker_Click() {
  Here("cmdAddTicker_Click")([&] {
    const long row = FG3.Rows();
    FG3.SetRows(row + 1);
    FG3.SetTextMatrix(row, 13, "1");
    FG3.SetTextMatrix(row, 14, "00:00:00");
    AddScrollTicker("");
    FormatRows(1, FG3.Rows() - 1, true);
    // the group row does not take part in the turns, so the first ticker row (row 2) is yellow
    Tollerwick_Sub::SelectedRow = std::to_string(FG3.Rows() - 1);
    txtTicker.SetText("");
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::cmdDeleteTicker_Click() {
  Here("cmdDeleteTicker_Click")([&] {
    txtTicker.SetText("");
    // A list that could not be saved is not read back: the rows and limits since the last save stay.
    if (!Tollerwick_Sub::Save_Settings()) return;
    FG3.Clear();
    FillGrid(false);
  });
}

void frmMain_Tollerwick::Fg3_Click() {
  Here("Fg3_Click")([&] {
    long row = FG3.MouseRow();
    if (row < 2) row = 2;
    Tollerwick_Sub::SelectedRow = std::to_string(row);
    cmbProvider.SetListIndex(rt::CInt(FG3.TextMatrix(row, 13)) - 1);
    txtHigh.SetText(FG3.TextMatrix(row, 11));
    txtLow.SetText(FG3.TextMatrix(row, 12));
    txtTicker.SetText(FG3.TextMatrix(row, 2));
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::Fg3_DblClick() {
  Here("Fg3_DblClick")([&] {
    const long row = FG3.MouseRow();
    if (row < 1) return;
    if (FG3.TextMatrix(row, 0).empty()) {
      const std::string ticker = Servers::AddressPart(FG3.TextMatrix(row, 2));
      OpenChart(Servers::Url("ChartSite",
                             "/custom/alliance/interactivechart.asp"
                             "?astyle=0%2C0%2C0%2C0%2C0%2C0%2C0%2C5%2C0%2C0&logourl=&country=us&o_symb=" +
                                 ticker + "&post=&symb=" + ticker +
                                 "&time=1da&uf=0&compidx=aaaaa%3A0&draw.x=54&draw.y=13"));
      return;
    }
    if (FG3.TextMatrix(row, 0) == "-") {
      FG3.SetTextMatrix(row, 0, "+");
      SetRowPicture(row, Tollerwick_Sub::BitmapPath("fileclose.bmp"));
    } else {
      FG3.SetTextMatrix(row, 0, "-");
      SetRowPicture(row, Tollerwick_Sub::BitmapPath("fileopen.bmp"));
    }
    if (row + 1 >= FG3.Rows()) return;
    const double height = FG3.RowHeight(row + 1) == 0 ? -1 : 0;
    for (long r = row + 1; r < FG3.Rows() && FG3.TextMatrix(r, 0).empty(); ++r) FG3.SetRowHeight(r, height);
  });
}

// The ticker file cannot hold a double quote, so the edit boxes do not take one: it is taken out of the box
// again, and setting the box's text runs its change event anew with the cleaned text. True when it did.
bool frmMain_Tollerwick::DropQuotes(rt::TextBox& box) {
  const std::string text = box.Text();
  if (text.find('"') == std::string::npos) return false;
  const long caret = box.SelStart();
  const std::string typed = rt::Left(text, caret);
  const long before = static_cast<long>(std::count(typed.begin(), typed.end(), '"'));
  box.SetText(rt::Replace(text, "\"", ""));
  box.SetSelStart(caret - before);
  return true;
}

void frmMain_Tollerwick::txtHigh_Change() {
  Here("txtHigh_Change")([&] {
    if (DropQuotes(txtHigh)) return;
    FG3.SetTextMatrix(CurrentRow(), 11, txtHigh.Text());
    txtHigh.SetFocus();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::txtLow_Change() {
  Here("txtLow_Change")([&] {
    if (DropQuotes(txtLow)) return;
    FG3.SetTextMatrix(CurrentRow(), 12, txtLow.Text());
    txtLow.SetFocus();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::txtTicker_Change() {
  Here("txtTicker_Change")([&] {
    if (DropQuotes(txtTicker)) return;
    txtTicker.SetText(rt::UCase(txtTicker.Text()));
    txtTicker.SetSelStart(rt::Len(txtTicker.Text()));
    FG3.SetTextMatrix(CurrentRow(), 2, txtTicker.Text());
    txtTicker.SetFocus();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::cmbProvider_Click() {
  Here("cmbProvider_Click")([&] {
    if (FG3.Rows() < 3 || FillingProviderList) return;
    FG3.SetTextMatrix(CurrentRow(), 13, std::to_string(cmbProvider.ListIndex() + 1));
    rt::DoEvents();
  });
}

// The main window's quote providers: provider 1 answers one CSV line per symbol, provider 2 serves an HTML
// quote page to account holders, which is reduced to text lines and scanned for fixed labels.

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_Library.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Strings.h"
#include "windows/frmOptions.h"

namespace {

// The ticker as it goes into a request address: as stored, except for what would end the request line,
// start another parameter or a fragment, or read differently on the server: blanks and other control or
// non-ASCII bytes, "#", "&", "?", "+" (read as a blank) and a "%" that does not begin an escape. A "%"
// followed by two hexadecimal digits is an escape the user stored ("%5EDJI") and goes as it is.
std::string AddressText(const std::string& ticker) {
  return Servers::Encoded(ticker, [](unsigned char c) {
    return c > 0x20 && c < 0x7F && c != '#' && c != '&' && c != '?' && c != '+' && c != '%';
  });
}

// Numeric text as the quote pages write it, whatever the user's regional settings: blanks around it, a
// sign, digits with "," between groups of the whole part, a "." before the fraction, an exponent; or a
// "&H"/"&O" number, which reads the same everywhere.
bool IsQuoteNumber(const std::string& text) {
  const std::string t = rt::Trim(text);
  if (!t.empty() && t[0] == '&') return rt::IsNumeric(t);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (std::isdigit(static_cast<unsigned char>(c)))
      digits = true;
    else if (c == '.' && !point)
      point = true;
    else if (c != ',' || point || !digits)
      break;
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const size_t exponent = i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    if (i == exponent) return false;
  }
  return i == t.size();
}

// The CSV reply of provider 1, taken apart field by field from the front.
// The text before the first ","; a text without one fails.
std::string FirstField(const std::string& reply) {
  return rt::Left(reply, rt::InStr(reply, ",") - 1);
}
// The text after the first ","; a text without one stays as it is.
std::string DropField(const std::string& reply) {
  const long comma = rt::InStr(reply, ",");
  return comma == 0 ? reply : rt::Mid(reply, comma + 1);
}

// The reduced quote page of provider 2, read line by line. Each step reads on only while lines are left and
// tells whether it got what it looked for; at the end of the file the current line is the last one read.
class PageLines {
 public:
  explicit PageLines(int file) : file_(file) {}

  const std::string& Line() const { return line_; }
  std::string Trimmed() const { return rt::Trim(line_); }

  // Reads lines until one is `label`, blanks at its ends aside.
  bool Find(const std::string& label) {
    while (!rt::Eof(file_)) {
      line_ = rt::LineInput(file_);
      if (rt::Trim(line_) == label) return true;
    }
    return false;
  }
  // Reads at least one more line, and on until one is not blank.
  bool Next() {
    while (!rt::Eof(file_)) {
      line_ = rt::LineInput(file_);
      if (!rt::Trim(line_).empty()) return true;
    }
    return false;
  }
  // Reads lines until one is a number as the page writes it, blanks at its ends aside.
  bool FindNumber() {
    while (!rt::Eof(file_)) {
      line_ = rt::LineInput(file_);
      if (IsQuoteNumber(line_)) return true;
    }
    return false;
  }
  // Reads one line whatever it holds; the end of the file fails.
  void Read() { line_ = rt::LineInput(file_); }

 private:
  int file_;
  std::string line_;
};

}  // namespace

void frmMain_Tollerwick::cmdUpdateRT1(int& Row, std::string& Ticker) {
  using namespace Tollerwick_Sub;
  HandlerTrap("cmdUpdateRT1 of Formular frmMain_Tollerwick")([&] {
    InetRealtime1.SetURL(
        Servers::Url("Provider1Quotes", "/download/quotes.csv?format=sl&ext=.csv&symbols=" + AddressText(Ticker)));
    std::string reply = InetRealtime1.OpenURL();

    const std::string fail = Tollerwick_Sub::BitmapPath("fail.bmp");
    FG3.SetCol(0);
    FG3.SetRow(Row);
    FG3.SetCellPicture(fail);
    Tollerwick_Sub::Entry(TickerImages, Row).LoadPicture(fail);

    if (rt::Trim(Ticker).empty()) return;
    if (rt::Trim(reply).empty() || rt::Len(reply) > 150) return;

    reply = DropField(reply);  // the symbol
    const std::string last = FirstField(reply);
    if (rt::Trim(last).empty()) return;
    // the server writes its own format ("1234.50"), whatever the user's regional settings
    if (rt::CSng(rt::CDblFixed(last)) == 0) return;

    FG3.SetTextMatrix(Row, 3, last);
    rt::Label& value = Tollerwick_Sub::Entry(ValueLabels, Row);
    value.SetCaption(FG3.TextMatrix(Row, 3));

    for (int field = 0; field < 3; ++field) reply = DropField(reply);
    FG3.SetTextMatrix(Row, 4, FirstField(reply));
    value.SetCaption(value.Caption() + "/" + FG3.TextMatrix(Row, 4));

    reply = DropField(reply);
    FG3.SetTextMatrix(Row, 10, FirstField(reply));
    reply = DropField(reply);
    FG3.SetTextMatrix(Row, 8, FirstField(reply));
    reply = DropField(reply);
    FG3.SetTextMatrix(Row, 9, FirstField(reply));

    // the volume is the rest of the line, less its line end
    reply = DropField(reply);
    const std::string volume = rt::Left(reply, rt::Len(reply) - 2);
    if (volume != "N/A") {
      FG3.SetTextMatrix(Row, 7, volume);
      Tollerwick_Sub::Entry(VolumeLabels, Row).SetCaption(volume);
    }

    FG3.SetRow(Row);
    FG3.SetCol(4);
    CheckAndSendAlarms(Row, Ticker);
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::cmdUpdateRT2(int& Row, std::string& Ticker) {
  using namespace Tollerwick_Sub;
  int page = 0;
  Trap{"cmdUpdateRT2 of Formular frmMain_Tollerwick"}([&] {
    InetRealtime1.SetURL(
        Servers::Url("Provider2Quotes", "/rt/frt/M?IM=quotes&symbol=" + AddressText(Ticker) + "&type=Quote"));
    frmOptions& options = rt::Default<frmOptions>();
    InetRealtime1.SetUserName(options.txtUserName2.Text());
    InetRealtime1.SetPassword(options.txtPassword2.Text());

    // A failed download leaves the page file empty, and the scan below then finds nothing.
    int raw = 0;
    Skip([&] {
      raw = rt::FreeFile();
      rt::Open(Tollerwick_Sub::DownloadPath("Realtime.ht1"), rt::OpenMode::Output, raw);
    });
    Skip([&] { rt::WriteItems(raw, {InetRealtime1.OpenURL()}); });
    Skip([&] { rt::Close(raw); });
    VYK_Library::StripPage("Realtime.ht1", "Realtime.ht2");

    FG3.SetCol(0);
    FG3.SetRow(Row);
    FG3.SetCellPicture(Tollerwick_Sub::BitmapPath("fail.bmp"));
    Tollerwick_Sub::Entry(TickerImages, Row).LoadPicture(Tollerwick_Sub::BitmapPath("fail.bmp"));

    page = rt::FreeFile();
    rt::Open(Tollerwick_Sub::DownloadPath("Realtime.ht2"), rt::OpenMode::Input, page);
    PageLines lines(page);

    // the market indices, each on the first line after its label, as it stands
    const std::pair<const char*, rt::TextBox*> indices[] = {
        {"DJIA", &txtDJIA}, {"Nasdaq", &txtNasdaq}, {"S&P 500", &txtsp500}, {"30 Yr Bond", &txt10YBond}};
    for (const auto& [label, box] : indices) {
      if (!lines.Find(label) || !lines.Next()) return;
      box->SetText(lines.Line());
    }

    // A "Trade Time" without a value ("--") is passed over; a plain "Time" before it marks a partial quote.
    bool partial = false;
    for (;;) {
      bool found = false;
      while (!found && !rt::Eof(page)) {
        lines.Read();
        if (lines.Trimmed() == "Trade Time") {
          found = true;
        } else if (lines.Trimmed() == "Time") {
          found = partial = true;
        }
      }
      if (!found) return;
      if (partial) break;
      if (!lines.Next()) return;
      if (lines.Trimmed() != "--") break;
    }

    if (partial) {
      FG3.SetCol(0);
      FG3.SetRow(Row);
      FG3.SetCellPicture(Tollerwick_Sub::BitmapPath("partly.bmp"));
      Tollerwick_Sub::Entry(TickerImages, Row).LoadPicture(Tollerwick_Sub::BitmapPath("partly.bmp"));
      for (int n = 0; n < 14; ++n) lines.Read();
      FG3.SetTextMatrix(Row, 3, lines.Trimmed());
      rt::Label& value = Tollerwick_Sub::Entry(ValueLabels, Row);
      value.SetCaption(FG3.TextMatrix(Row, 3));
      lines.Next();
      FG3.SetTextMatrix(Row, 4, lines.Trimmed());
      value.SetCaption(value.Caption() + "/" + FG3.TextMatrix(Row, 4));
      return;
    }

    FG3.SetTextMatrix(Row, 3, lines.Trimmed());
    rt::Label& value = Tollerwick_Sub::Entry(ValueLabels, Row);
    value.SetCaption(FG3.TextMatrix(Row, 3));
    lines.Next();
    FG3.SetTextMatrix(Row, 4, lines.Trimmed());
    value.SetCaption(value.Caption() + "/" + FG3.TextMatrix(Row, 4));
    rt::Label& volume = Tollerwick_Sub::Entry(VolumeLabels, Row);
    volume.SetCaption("");
    lines.Next();
    FG3.SetTextMatrix(Row, 5, lines.Trimmed());
    lines.Next();
    FG3.SetTextMatrix(Row, 6, lines.Trimmed());

    if (!lines.Find("Low") || !lines.Next()) return;
    FG3.SetTextMatrix(Row, 7, lines.Trimmed());
    volume.SetCaption(lines.Trimmed());
    lines.Next();  // the line after the volume is not used
    lines.Next();
    FG3.SetTextMatrix(Row, 10, lines.Trimmed());
    lines.Next();
    FG3.SetTextMatrix(Row, 8, lines.Trimmed());
    lines.Next();
    FG3.SetTextMatrix(Row, 9, lines.Trimmed());

    if (!lines.Find("Prev Close") || !lines.FindNumber()) return;
    std::string previousClose = lines.Trimmed();
    rt::Close(page);
    page = 0;

    // The page gives the change without its sign: a last price below the previous close makes it negative.
    FG3.SetRow(Row);
    FG3.SetCol(4);
    std::string last = FG3.TextMatrix(Row, 3);
    const double previous = MakeNumber2(previousClose);
    if (previous > MakeNumber2(last)) FG3.SetTextMatrix(Row, 4, "-" + FG3.TextMatrix(Row, 4));
    CheckAndSendAlarms(Row, Ticker);
  });
  // every way out, a full quote, a partial one, a page that ends early or a failure, ends here
  Skip([&] {
    if (page) rt::Close(page);
  });
  rt::DoEvents();
}

double frmMain_Tollerwick::MakeNumber2(std::string& NumberText) {
  // the page writes its numbers in its own format, so they are tested in that format too
  if (!IsQuoteNumber(NumberText)) return 0;
  double result = 0;
  HandlerTrap("MakeNumber2 of Formular frmMain_Tollerwick")([&] {
    // blanks around the number would count in the fraction's length or hide the sign
    NumberText = rt::Trim(NumberText);
    double sign = 1;
    if (rt::Left(NumberText, 1) == "-") {
      NumberText = rt::Mid(NumberText, 2);
      sign = -1;
    }
    NumberText = rt::Replace(NumberText, ",", "");

    std::string whole = NumberText;
    std::string fraction = "0";
    const long point = rt::InStr(NumberText, ".");
    if (point > 0) {
      whole = rt::Left(NumberText, point - 1);
      fraction = rt::Mid(NumberText, point + 1);
    }
    result = (rt::CDbl(whole) + rt::CDbl(fraction) / std::pow(10.0, rt::Len(fraction))) * sign;
    rt::DoEvents();
  });
  return result;
}

#pragma once
// The main window: the ticker table, its edit boxes and buttons, the web-page buttons, the four market
// index boxes, news and banner, the option boxes, the error lamp, the status bar, the timers, the download
// and socket controls and the menus.

#include <deque>
#include <string>
#include <vector>

#include "monitor/SmtpReplies.h"
#include "platform/controls/Controls.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Form.h"
#include "platform/controls/Inet.h"
#include "platform/controls/Winsock.h"

class frmMain_Tollerwick : public rt::Form {
 public:
  frmMain_Tollerwick();

  // ---- ticker table and its edit boxes
  rt::FlexGrid FG3{*this, "FG3"};
  rt::Label lblTickerCaption{*this, "lblTickerCaption"};
  rt::Label lblHighCaption{*this, "lblHighCaption"};
  rt::Label lblLowCaption{*this, "lblLowCaption"};
  rt::Label lblProviderCaption{*this, "lblProviderCaption"};
  rt::TextBox txtTicker{*this, "txtTicker"};
  rt::TextBox txtHigh{*this, "txtHigh"};
  rt::TextBox txtLow{*this, "txtLow"};
  rt::ComboBox cmbProvider{*this, "cmbProvider", 2};
  rt::CommandButton cmdAddTicker{*this, "cmdAddTicker"};
  rt::CommandButton cmdDeleteTicker{*this, "cmdDeleteTicker"};
  rt::CommandButton cmdFindTicker{*this, "cmdFindTicker"};

  // ---- update and option boxes
  rt::CommandButton cmdUpdateRT{*this, "cmdUpdateRT"};
  rt::CheckBox chkRT{*this, "chkRT"};
  rt::CheckBox chkScrollingTicker{*this, "chkScrollingTicker"};
  rt::CheckBox chkAlarmSnd{*this, "chkAlarmSnd"};
  rt::CheckBox chkTooltip{*this, "chkTooltip"};
  rt::CheckBox chkWinOnTop{*this, "chkWinOnTop"};
  rt::CommandButton cmdSetTray{*this, "cmdSetTray"};

  // ---- web pages
  rt::CommandButton cmdCharts{*this, "cmdCharts"};
  rt::CommandButton cmdFundamentals{*this, "cmdFundamentals"};
  rt::CommandButton cmdBuySell{*this, "cmdBuySell"};
  rt::CommandButton cmdnews2{*this, "cmdnews2"};
  rt::CommandButton cmdNews{*this, "cmdNews"};
  rt::CommandButton cmdMarketUpdate{*this, "cmdMarketUpdate"};
  rt::CommandButton cmdUpgrades{*this, "cmdUpgrades"};
  rt::CommandButton cmdDowngrades{*this, "cmdDowngrades"};
  rt::Label lblVykHome{*this, "lblVykHome"};
  rt::Label reportBug{*this, "reportBug"};

  // ---- market indices
  rt::Label lblDJIA{*this, "lblDJIA"};
  rt::Label lblNasdaq{*this, "lblNasdaq"};
  rt::Label lblsp500{*this, "lblsp500"};
  rt::Label lbl10YBond{*this, "lbl10YBond"};
  rt::TextBox txtDJIA{*this, "txtDJIA"};
  rt::TextBox txtNasdaq{*this, "txtNasdaq"};
  rt::TextBox txtsp500{*this, "txtsp500"};
  rt::TextBox txt10YBond{*this, "txt10YBond"};

  // ---- news and banner
  rt::RichTextBox RtbNews1{*this, "RtbNews1"};
  rt::PictureBox Image2{*this, "Image2"};

  // ---- error lamp and status
  rt::PictureBox ErrorIndicator{*this, "ErrorIndicator"};
  rt::Label lblError{*this, "lblError"};
  rt::StatusBar sbStatusBar{*this, "sbStatusBar", 1};

  // ---- timers, downloads, socket
  rt::Timer TimerRT{*this, "TimerRT"};
  rt::Timer TimerTicker1{*this, "TimerTicker1"};
  rt::Inet InetRealtime1{*this, "InetRealtime1"};
  rt::Inet Inet1{*this, "Inet1"};
  rt::Winsock Winsock1{*this, "Winsock1"};

  // ---- menus
  rt::Menu mnuPopup{*this, "mnuPopup"};
  rt::Menu mnuShow{*this, "mnuShow", &mnuPopup};
  rt::Menu mnuOption1{*this, "mnuOption1", &mnuPopup};
  rt::Menu mnuExit{*this, "mnuExit", &mnuPopup};
  rt::Menu mnuExit1{*this, "mnuExit1"};
  rt::Menu mnuOption{*this, "mnuOption"};
  rt::Menu mnuAbout{*this, "mnuAbout"};

  // ---- public members
  void mnuExit1_Click();
  void mnuExit_Click();
  void chkAlarmSnd_Click();
  // Loads the ticker table from the ticker file and rebuilds the scrolling ticker's entries.
  void FillGrid(bool Add2Ticker = true);
  void chkScrollingTicker_Click();

  // ---- ticker table (handlers)
  void cmdAddTicker_Click();
  void cmdDeleteTicker_Click();
  void Fg3_Click();
  void Fg3_DblClick();
  void txtHigh_Change();
  void txtLow_Change();
  void txtTicker_Change();
  void cmbProvider_Click();
  // True while start-up selects the provider list's first item, which is no user's choice and writes
  // nothing into the grid.
  bool FillingProviderList = false;
  void TimerTicker1_Timer();
  void chkTooltip_Click();

  // ---- menus
  void mnuAbout_Click();
  void mnuOption_Click();
  void mnuOption1_Click();

  // ---- tray and error lamp
  void cmdSetTray_Click();
  void mnuShow_Click();
  void lblError_Click();

  // ---- web pages
  void cmdCharts_Click();
  void cmdDowngrades_Click();
  void cmdUpgrades_Click();
  void cmdFundamentals_Click();
  void cmdBuySell_Click();
  void cmdMarketUpdate_Click();
  void cmdNews_Click();
  void cmdNews2_Click();
  void cmdFindTicker_Click();
  void lblVykHome_Click();
  void reportBug_Click();

  // ---- news
  // Reads the news file into the news table.
  void Load_News();

  // ---- update cycle
  void TimerRT_Timer();
  void chkRT_Click();
  void cmdUpdateRT_Click();
  // When the last update cycle ended, on the seconds clock; 0 when none has ended since loading or since
  // automatic updates were switched on.
  double LastUpdateTime = 0;

  // ---- quotes of the two providers, and the alarms
  void cmdUpdateRT1(int& Row, std::string& Ticker);
  void cmdUpdateRT2(int& Row, std::string& Ticker);
  // A quote's number text as a number, whatever the regional settings: "," groups thousands, "." is the
  // decimal point; 0 for a text that is no number. The text loses its "-" and its ",".
  double MakeNumber2(std::string& NumberText);
  void CheckAndSendAlarms(int& Row, std::string& Ticker);
  void AlarmSound();

  // ---- news and banner
  // Downloads the banner and news lists (and checks for a newer version when asked to).
  void RefreshNews();
  // Shows the next banner and the next news item.
  void RotateBanner();
  void Image2_Click();
  // The banner whose picture the last rotation showed (its link is what a click opens).
  int BannerOnShow = 0;

  // ---- mail
  // Sends one plain-text message through the mail server (a host name or address, "host:port" for a
  // server on another port than 25); failures are told in the message window only.
  void SendEmail(const std::string& MailServerName, const std::string& FromName, const std::string& FromEmailAddress,
                 const std::string& ToName, const std::string& ToEmailAddress, const std::string& EmailSubject,
                 const std::string& EmailBodyOfMessage);
  // Waits, letting events run, for the server's reply with this code; on failure tells the user and sets
  // SmtpProgress to 0.
  void WaitFor(const std::string& ResponseCode);
  // One SMTP dialogue, from connecting to "quit".
  void SendOneEmail(const std::string& MailServerName, const std::string& FromName,
                    const std::string& FromEmailAddress, const std::string& ToName, const std::string& ToEmailAddress,
                    const std::string& EmailSubject, const std::string& EmailBodyOfMessage);
  void Winsock1_DataArrival(long bytesTotal);
  // The last complete reply received from the mail server.
  std::string SmtpResponse;
  // What has come of the reply after it, while that is not complete yet.
  SmtpReplies SmtpReceived;
  // Set when the server sent a line or a reply longer than any mail server's, or more replies than it was
  // asked for: the connection was closed and the rest dropped; the running wait fails.
  bool SmtpReplyTooLong = false;
  // The replies that came since the dialogue's last step asked for one, and how many may come.
  static constexpr int kMostRepliesUnasked = 8;
  int SmtpUnasked = 0;
  // How far the running send has come: 10 to 100, 0 when it failed.
  int SmtpProgress = 0;
  // True while a send's dialogue runs; the sends asked for meanwhile (their seven texts), in order.
  bool SmtpSending = false;
  std::deque<std::vector<std::string>> SmtpWaiting;
  // Seconds of the clock that goes on across midnight: the running wait's start, and how long it has run.
  double SmtpWaitStart = 0;
  double SmtpWaitElapsed = 0;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void FrameChanged() override;
  void Form_Unload(int& Cancel) override;

 private:
  // ticker table
  void FormatRows(long from, long to, bool yellowFirst);
  void SetRowPicture(long row, const std::string& picture);
  void SelectRow(long row);
  long CurrentRow();
  bool DropQuotes(rt::TextBox& box);
  // web pages
  std::string SelectedTicker();
  // A fresh browser window showing this address.
  void OpenChart(const std::string& address);
  void OpenPage(const std::string& address);
  // scrolling ticker
  void AddScrollTicker(const std::string& ticker);
  void ClearScrollTicker();
};

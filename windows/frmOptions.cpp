#include "windows/frmOptions.h"

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_GetSystemInfos.h"
#include "library/VYK_Internet.h"
#include "library/VYK_Registry.h"
#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/Tollerwick_Tooltip.h"
#include "monitor/frmMain_Tollerwick.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"

namespace {

constexpr int kRegister = 0, kMailServer = 1, kPreferences = 2, kDataProvider = 3, kVyk = 4;
const char* const kRunValue = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Tollerwick1";

Trap Here(const char* procedure) { return HandlerTrap(std::string(procedure) + " of Formular frmOptions"); }

void Put(rt::TabControl& tabs, int tab, rt::Control& control, double left, double top, double width,
         double height) {
  tabs.Place(control, tab);
  control.Move(left, top, width, height);
}

void Put(rt::Frame& frame, rt::Control& control, double left, double top, double width, double height) {
  frame.Place(control);
  control.Move(left, top, width, height);
}

// A checked field whose text the scheduler or the alarm path could not read (a number box holding letters,
// a time such as "-1:30" that the checks let stand) would stop their work for good: the value in force
// stays, and the box shows it again.
void CopyUsable(rt::TextBox& box, std::string& setting, bool (*usable)(const std::string&)) {
  if (usable(box.Text()))
    setting = box.Text();
  else
    box.SetText(setting);
}

}  // namespace

frmOptions::frmOptions() : rt::Form("frmOptions") {}

void frmOptions::Design() {
  DesignSize(7170, 4935);
  SetCaption("Options");
  SetBorderStyle(1);
  SetFontSize(8);
  const std::string bitmaps = VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/bitmap/";

  SSTab1.Move(120, 240, 6975, 4095);
  for (const char* tab : {"Register", "Mail Server", "Preferences", "Data Provider", "vyk"}) SSTab1.AddTab(tab);
  SSTab1.SetTab(kMailServer);
  struct Button {
    rt::CommandButton& button;
    const char* caption;
    double left;
  };
  for (const Button& b : {Button{cmdOK, "OK", 3600}, Button{cmdCancel, "Cancel", 4800}, Button{cmdApply, "Apply", 6000}}) {
    b.button.Move(b.left, 4455, 1095, 375);
    b.button.SetCaption(b.caption);
  }
  cmdCancel.SetCancel(true);

  // ---- Register
  Put(SSTab1, kRegister, lblLabels0, 240, 330, 1200, 285);
  lblLabels0.SetCaption("User ID:");
  Put(SSTab1, kRegister, txtUserName, 1560, 270, 2640, 330);
  txtUserName.SetEnabled(false);
  Put(SSTab1, kRegister, lblLabels1, 240, 750, 1200, 285);
  lblLabels1.SetCaption("User eMail:");
  Put(SSTab1, kRegister, txtUserEmail, 1560, 690, 3480, 330);
  Put(SSTab1, kRegister, Label7, 240, 1170, 4800, 480);
  Label7.SetWordWrap(true);
  Label7.SetCaption("The User eMail is necessary for successfully sending the alert emails to the SMTP server");
  Put(SSTab1, kRegister, Picture1, 5280, 270, 1320, 1320);
  Picture1.SetStretch(true);
  Skip([&] { Picture1.LoadPicture(bitmaps + "splash.bmp"); });
  Put(SSTab1, kRegister, ChkProgramUpdate, 240, 1920, 4200, 300);
  ChkProgramUpdate.SetCaption("Check for program update");
  ChkProgramUpdate.SetEnabled(false);
  Put(SSTab1, kRegister, chkAutoInstallation, 240, 2280, 4200, 300);
  chkAutoInstallation.SetCaption("automatic installation");
  chkAutoInstallation.SetEnabled(false);
  Put(SSTab1, kRegister, cmdChkNewVersion, 240, 2760, 3000, 390);
  cmdChkNewVersion.SetCaption("check for program update");

  // ---- Mail Server
  struct Row {
    rt::Label& label;
    const char* caption;
    rt::TextBox& box;
    double top;
  };
  for (const Row& r : {Row{Label4, "SMTP (EMail)Server:", txtEmailServer, 60},
                       Row{Label5_0, "EMail Address 1 :", txtToEmailAddress1, 380},
                       Row{Label5_1, "EMail Address 2 :", txtToEmailAddress2, 700},
                       Row{Label6, "eMailL/SMS-Gateway:", txtToSMSAddress, 1360}}) {
    Put(SSTab1, kMailServer, r.label, 120, r.top + 45, 1980, 270);
    r.label.SetCaption(r.caption);
    Put(SSTab1, kMailServer, r.box, 2100, r.top, 2520, 300);
  }
  Put(SSTab1, kMailServer, chkEMail1, 4740, 380, 2100, 300);
  chkEMail1.SetCaption("Send Alarm EMail 1");
  Put(SSTab1, kMailServer, chkEMail2, 4740, 700, 2100, 300);
  chkEMail2.SetCaption("Send Alarm EMail 2");
  Put(SSTab1, kMailServer, cmdTestEmail1, 2100, 1005, 1230, 315);
  cmdTestEmail1.SetCaption("Test Email 1");
  Put(SSTab1, kMailServer, cmdTestEmail2, 3390, 1005, 1230, 315);
  cmdTestEmail2.SetCaption("Test Email 2");
  Put(SSTab1, kMailServer, chkSMS, 120, 1680, 6720, 300);
  chkSMS.SetCaption("Send Alarm SMS  (eMail to SMS    Gateway )");
  Put(SSTab1, kMailServer, Label21, 120, 2045, 1980, 270);
  Label21.SetCaption("Subject field  (PIN):");
  Put(SSTab1, kMailServer, txtToSMSSubject, 2100, 2000, 1200, 300);
  Put(SSTab1, kMailServer, cmdTestSMS, 3390, 1985, 1230, 315);
  cmdTestSMS.SetCaption("Test SMS");
  Put(SSTab1, kMailServer, chkInternetSMS, 120, 2320, 6720, 300);
  chkInternetSMS.SetCaption("Send Alarm via free Internet SMS Site - available in next program version");
  chkInternetSMS.SetEnabled(false);
  Put(SSTab1, kMailServer, Label20, 120, 2685, 2820, 270);
  Label20.SetCaption("free Internet SMS Provider  URL  : ");
  Put(SSTab1, kMailServer, txtToInternetSMSAddress, 2940, 2640, 1680, 300);
  Put(SSTab1, kMailServer, Command2, 4740, 2625, 1020, 315);
  Command2.SetCaption("Setup SMS");
  Command2.SetEnabled(false);
  Put(SSTab1, kMailServer, Command1, 5820, 2625, 1020, 315);
  Command1.SetCaption("Test SMS");
  Command1.SetEnabled(false);
  Put(SSTab1, kMailServer, Label22, 120, 3015, 4260, 270);
  Label22.SetCaption("Minimum time between two alarm messages :");
  Put(SSTab1, kMailServer, txtAlarmWait, 4380, 2970, 720, 300);
  Put(SSTab1, kMailServer, VScroll2, 5100, 2970, 255, 300);
  Put(SSTab1, kMailServer, Label23, 5400, 3015, 720, 270);
  Label23.SetCaption(" hours");
  Put(SSTab1, kMailServer, CmdEmailWaittime, 120, 3300, 3360, 315);
  CmdEmailWaittime.SetCaption("reset waittime for alarm messages");

  // ---- Preferences
  Put(SSTab1, kPreferences, Frame1, 120, 60, 6720, 1470);
  Frame1.SetCaption("Auto Update");
  Put(Frame1, Label17, 240, 330, 1200, 285);
  Label17.SetCaption("start time :");
  Put(Frame1, txtStartTime, 1440, 285, 780, 315);
  Put(Frame1, Label18, 2520, 330, 1020, 285);
  Label18.SetCaption("stop time :");
  Put(Frame1, txtStopTime, 3540, 285, 780, 315);
  Put(Frame1, Label3, 240, 720, 2280, 285);
  Label3.SetCaption("minutes between updates :");
  Put(Frame1, txtUpdateInterval, 2520, 675, 780, 315);
  Put(Frame1, VScroll1, 3300, 675, 255, 315);
  Put(Frame1, Label16, 3660, 720, 2940, 285);
  Label16.SetCaption("time in 24 h format !  e.g.:  16:30");
  Put(Frame1, chkUpdateIfOnline, 240, 1065, 6360, 300);
  chkUpdateIfOnline.SetCaption("Update only if the PC is allready connected to the Internet");
  Put(SSTab1, kPreferences, Frame2, 120, 1590, 6720, 1020);
  Frame2.SetCaption("Internet Connection");
  Put(Frame2, optConnection0, 240, 300, 1800, 300);
  optConnection0.SetCaption("use proxy server");
  Put(Frame2, txtProxyServer, 2100, 270, 2400, 315);
  Put(Frame2, Label15, 4620, 315, 600, 285);
  Label15.SetCaption("Port :");
  Put(Frame2, txtProxyPort, 5220, 270, 900, 315);
  Put(Frame2, optConnection2, 240, 630, 6360, 300);
  optConnection2.SetCaption("use browser settings  --  Microsoft Internet Explorer 5 or higher");
  optConnection2.SetValue(true);
  Put(SSTab1, kPreferences, Frame3, 120, 2670, 6720, 1020);
  Frame3.SetCaption("Program Start");
  Put(Frame3, chkStartInTray, 240, 270, 3000, 240);
  chkStartInTray.SetCaption("Start in System Tray");
  Put(Frame3, chkProgramStart, 240, 510, 6360, 240);
  chkProgramStart.SetCaption("Start Program at Windows Startup");
  Put(Frame3, chkShutdown, 240, 750, 6360, 240);
  chkShutdown.SetCaption("End program  at  Auto Update Stop Time");

  // ---- Data Provider
  Put(SSTab1, kDataProvider, Label14, 240, 300, 240, 285);
  Label14.SetCaption("1");
  Put(SSTab1, kDataProvider, Label13, 600, 300, 3000, 285);
  Label13.SetCaption("http://" + Servers::Host("Provider1Finance"));
  Put(SSTab1, kDataProvider, Label10, 3720, 300, 3000, 285);
  Label10.SetCaption("15 - 20 minutes delayed Quotes");
  Put(SSTab1, kDataProvider, Label8, 240, 720, 240, 285);
  Label8.SetCaption("2");
  Put(SSTab1, kDataProvider, lblFreeRealTime, 600, 720, 3000, 285);
  lblFreeRealTime.SetCaption("http://" + Servers::Host("Provider2Quotes"));
  Put(SSTab1, kDataProvider, Label11, 600, 1125, 1200, 285);
  Label11.SetCaption("User Name");
  Put(SSTab1, kDataProvider, txtUserName2, 1860, 1080, 2400, 315);
  Put(SSTab1, kDataProvider, Label12, 600, 1515, 1200, 285);
  Label12.SetCaption("Password");
  Put(SSTab1, kDataProvider, txtPassword2, 1860, 1470, 2400, 315);
  txtPassword2.SetPasswordChar("*");
  Put(SSTab1, kDataProvider, Label1, 240, 2040, 6360, 570);
  Label1.SetWordWrap(true);
  Label1.SetCaption(
      "The list of Data Providers will be extended in the next versions. Please let us know your preferences . "
      "Thank you");
  Put(SSTab1, kDataProvider, lblEmail, 240, 2760, 4200, 285);
  lblEmail.SetCaption("dataprovider@vyk.example");

  // ---- vyk
  Put(SSTab1, kVyk, Image1, 240, 240, 1800, 1800);
  Image1.SetStretch(true);
  Skip([&] { Image1.LoadPicture(bitmaps + "splash.bmp"); });
  Put(SSTab1, kVyk, Label2, 2280, 600, 3000, 285);
  Label2.SetCaption("VYK  Home Page");
  Put(SSTab1, kVyk, cmdProducts, 2280, 1200, 2880, 390);
  cmdProducts.SetCaption("view other VYK programs");

  // the Tab key visits the fields of the tabs first and the buttons last
  rt::PutLastInTabOrder({&cmdOK, &cmdCancel, &cmdApply});

  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdApply.Click = [this] { cmdApply_Click(); };
  optConnection0.Click = [this] { optConnection_Click(0); };
  optConnection2.Click = [this] { optConnection_Click(2); };
  chkProgramStart.Click = [this] { chkProgramStart_Click(); };
  cmdChkNewVersion.Click = [this] { cmdChkNewVersion_Click(); };
  CmdEmailWaittime.Click = [this] { CmdEmailWaittime_Click(); };
  DesignChecks();
  DesignMail();
  DesignLinks();
}

void frmOptions::Form_Load() {
  using namespace Tollerwick_Sub;
  Here("form_load")([&] {
    Move((rt::ScreenWidth() - Width()) / 2, (rt::ScreenHeight() - Height()) / 2);
    txtUserName.SetText(VYK_GetSystemInfos::UserID);
    txtUserEmail.SetText(Tollerwick_Sub::txtUserEmail);
    ChkProgramUpdate.SetValue(Tollerwick_Sub::ChkProgramUpdate);
    chkAutoInstallation.SetValue(Tollerwick_Sub::chkAutoInstallation);
    txtStartTime.SetText(Tollerwick_Sub::txtStartTime);
    txtStopTime.SetText(Tollerwick_Sub::txtStopTime);
    txtUpdateInterval.SetText(Tollerwick_Sub::txtUpdateInterval);
    txtAlarmWait.SetText(Tollerwick_Sub::txtAlarmWait);
    txtProxyPort.SetText(Tollerwick_Sub::txtProxyPort);
    optConnection(0).SetValue(Tollerwick_Sub::optConnection != 0);
    txtProxyServer.SetText(Tollerwick_Sub::txtProxyServer);
    txtEmailServer.SetText(Tollerwick_Sub::txtEmailServer);
    txtToEmailAddress1.SetText(Tollerwick_Sub::txtToEmailAddress1);
    txtToEmailAddress2.SetText(Tollerwick_Sub::txtToEmailAddress2);
    txtToInternetSMSAddress.SetText(Tollerwick_Sub::txtToInternetSMSAddress);
    txtToSMSAddress.SetText(Tollerwick_Sub::txtToSMSAddress);
    txtToSMSSubject.SetText(Tollerwick_Sub::txtToSMSSubject);
    txtUserName2.SetText(Tollerwick_Sub::txtUserName2);
    txtPassword2.SetText(Tollerwick_Sub::txtPassword2);
    chkSMS.SetValue(Tollerwick_Sub::chkSMS);
    chkProgramStart.SetValue(Tollerwick_Sub::chkProgramStart);
    chkShutdown.SetValue(rt::CInt(Tollerwick_Sub::chkShutdown));
    chkStartInTray.SetValue(Tollerwick_Sub::chkStartInTray);
    chkUpdateIfOnline.SetValue(Tollerwick_Sub::chkUpdateIfOnline);
    chkInternetSMS.SetValue(Tollerwick_Sub::chkInternetSMS);
    chkEMail1.SetValue(Tollerwick_Sub::chkEMail1);
    chkEMail2.SetValue(Tollerwick_Sub::chkEMail2);

    VScroll1.SetMin(10);
    VScroll1.SetMax(32767);
    VScroll1.SetValue(rt::CInt(rt::CLng(txtUpdateInterval.Text())));
    VScroll1.SetSmallChange(1);
    VScroll1.SetLargeChange(100);
    VScroll2.SetMin(2);
    VScroll2.SetMax(32767);
    VScroll2.SetValue(rt::CInt(rt::CLng(txtAlarmWait.Text())));
    VScroll2.SetSmallChange(1);
    VScroll2.SetLargeChange(100);

    if (Tollerwick_Main::MainForm->chkTooltip.Value() == 1)
      Tollerwick_Tooltip::Set_BalloonTip_Options();
    else
      Tollerwick_Tooltip::Del_BalloonTip_Options();
    rt::DoEvents();
  });
}

void frmOptions::Copy_Settings() {
  Here("Copy_Settings")([&] {
    Tollerwick_Sub::txtUserName = txtUserName.Text();
    Tollerwick_Sub::txtUserEmail = txtUserEmail.Text();
    Tollerwick_Sub::ChkProgramUpdate = ChkProgramUpdate.Value();
    Tollerwick_Sub::chkAutoInstallation = chkAutoInstallation.Value();
    CopyUsable(txtAlarmWait, Tollerwick_Sub::txtAlarmWait, Tollerwick_Sub::UsableNumber);
    CopyUsable(txtStartTime, Tollerwick_Sub::txtStartTime, Tollerwick_Sub::UsableTime);
    CopyUsable(txtStopTime, Tollerwick_Sub::txtStopTime, Tollerwick_Sub::UsableTime);
    CopyUsable(txtUpdateInterval, Tollerwick_Sub::txtUpdateInterval, Tollerwick_Sub::UsableNumber);
    Tollerwick_Sub::chkProgramStart = chkProgramStart.Value();
    Tollerwick_Sub::chkShutdown = static_cast<long>(chkShutdown.Value());
    Tollerwick_Sub::chkUpdateIfOnline = chkUpdateIfOnline.Value();
    Tollerwick_Sub::chkStartInTray = chkStartInTray.Value();
    Tollerwick_Sub::chkEMail1 = chkEMail1.Value();
    Tollerwick_Sub::chkEMail2 = chkEMail2.Value();
    Tollerwick_Sub::chkInternetSMS = chkInternetSMS.Value();
    Tollerwick_Sub::chkSMS = chkSMS.Value();
    Tollerwick_Sub::txtProxyServer = txtProxyServer.Text();
    Tollerwick_Sub::txtProxyPort = txtProxyPort.Text();
    Tollerwick_Sub::txtEmailServer = txtEmailServer.Text();
    Tollerwick_Sub::txtToEmailAddress1 = txtToEmailAddress1.Text();
    Tollerwick_Sub::txtToEmailAddress2 = txtToEmailAddress2.Text();
    Tollerwick_Sub::txtToInternetSMSAddress = txtToInternetSMSAddress.Text();
    Tollerwick_Sub::txtToSMSAddress = txtToSMSAddress.Text();
    Tollerwick_Sub::txtToSMSSubject = txtToSMSSubject.Text();
    Tollerwick_Sub::txtUserName2 = txtUserName2.Text();
    Tollerwick_Sub::txtPassword2 = txtPassword2.Text();
    Tollerwick_Sub::optConnection = optConnection(0).Value() ? 1 : 0;
    rt::DoEvents();
  });
}

void frmOptions::cmdApply_Click() {
  Here("cmdApply_Click")([&] {
    Copy_Settings();
    Tollerwick_Sub::Save_Settings();
    rt::DoEvents();
  });
}

void frmOptions::cmdOK_Click() {
  Here("cmdOK_Click")([&] {
    Copy_Settings();
    Tollerwick_Sub::Save_Settings();
    Unload();
    rt::DoEvents();
  });
}

void frmOptions::cmdCancel_Click() { Unload(); }

void frmOptions::optConnection_Click(int /*Index*/) {
  Here("optConnection_Click")([&] {
    Tollerwick_Sub::optConnection = optConnection(0).Value() ? 1 : 0;
    rt::DoEvents();
  });
}

void frmOptions::chkProgramStart_Click() {
  Here("chkProgramStart_Click")([&] {
    std::string path = kRunValue;
    if (chkProgramStart.Value() == 1)
      VYK_Registry::CreateKey(path, VYK_File_Dir::sFixDirString(rt::App.Path()) + rt::App.EXEName());
    else
      VYK_Registry::DeleteKey(path);
    rt::DoEvents();
  });
}

void frmOptions::cmdChkNewVersion_Click() {
  Here("cmdChkNewVersion_Click")([&] {
    VYK_Internet::ChkNewVersion();
    rt::DoEvents();
  });
}

void frmOptions::CmdEmailWaittime_Click() {
  Here("CmdEmailWaittime_Click")([&] {
    rt::FlexGrid& grid = Tollerwick_Main::MainForm->FG3;
    const long rows = grid.Rows();
    for (long row = 2; row < rows; ++row) grid.SetTextMatrix(row, 14, "00:00:00");
    rt::DoEvents();
  });
}

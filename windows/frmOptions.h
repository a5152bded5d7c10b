#pragma once
// The options dialog: five tabs of settings bound to the settings variables by name, OK, Cancel and Apply;
// the autostart switch, the version check and the reset of the alarm wait. The main window reads some of
// its controls while it runs (the mail switches and addresses, the data provider's account).

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"

class frmOptions : public rt::Form {
 public:
  frmOptions();

  rt::TabControl SSTab1{*this, "SSTab1"};
  rt::CommandButton cmdOK{*this, "cmdOK"};
  rt::CommandButton cmdCancel{*this, "cmdCancel"};
  rt::CommandButton cmdApply{*this, "cmdApply"};

  // ---- tab "Register"
  rt::Label lblLabels0{*this, "lblLabels(0)"};
  rt::TextBox txtUserName{*this, "txtUserName"};
  rt::Label lblLabels1{*this, "lblLabels(1)"};
  rt::TextBox txtUserEmail{*this, "txtUserEmail"};
  rt::Label Label7{*this, "Label7"};
  rt::PictureBox Picture1{*this, "Picture1(1)"};
  rt::CheckBox ChkProgramUpdate{*this, "ChkProgramUpdate"};
  rt::CheckBox chkAutoInstallation{*this, "chkAutoInstallation"};
  rt::CommandButton cmdChkNewVersion{*this, "cmdChkNewVersion"};

  // ---- tab "Mail Server"
  rt::Label Label4{*this, "Label4"};
  rt::TextBox txtEmailServer{*this, "txtEmailServer"};
  rt::Label Label5_0{*this, "Label5(0)"};
  rt::TextBox txtToEmailAddress1{*this, "txtToEmailAddress1"};
  rt::CheckBox chkEMail1{*this, "chkEMail1"};
  rt::Label Label5_1{*this, "Label5(1)"};
  rt::TextBox txtToEmailAddress2{*this, "txtToEmailAddress2"};
  rt::CheckBox chkEMail2{*this, "chkEMail2"};
  rt::CommandButton cmdTestEmail1{*this, "cmdTestEmail1"};
  rt::CommandButton cmdTestEmail2{*this, "cmdTestEmail2"};
  rt::Label Label6{*this, "Label6"};
  rt::TextBox txtToSMSAddress{*this, "txtToSMSAddress"};
  rt::CheckBox chkSMS{*this, "chkSMS"};
  rt::Label Label21{*this, "Label21"};
  rt::TextBox txtToSMSSubject{*this, "txtToSMSSubject"};
  rt::CommandButton cmdTestSMS{*this, "cmdTestSMS"};
  rt::CheckBox chkInternetSMS{*this, "chkInternetSMS"};
  rt::Label Label20{*this, "Label20"};
  rt::TextBox txtToInternetSMSAddress{*this, "txtToInternetSMSAddress"};
  rt::CommandButton Command2{*this, "Command2"};
  rt::CommandButton Command1{*this, "Command1"};
  rt::Label Label22{*this, "Label22"};
  rt::TextBox txtAlarmWait{*this, "txtAlarmWait"};
  rt::ScrollBar VScroll2{*this, "VScroll2"};
  rt::Label Label23{*this, "Label23"};
  rt::CommandButton CmdEmailWaittime{*this, "CmdEmailWaittime"};

  // ---- tab "Preferences"
  rt::Frame Frame1{*this, "Frame1"};
  rt::Label Label17{*this, "Label17"};
  rt::TextBox txtStartTime{*this, "txtStartTime"};
  rt::Label Label18{*this, "Label18"};
  rt::TextBox txtStopTime{*this, "txtStopTime"};
  rt::Label Label3{*this, "Label3"};
  rt::TextBox txtUpdateInterval{*this, "txtUpdateInterval"};
  rt::ScrollBar VScroll1{*this, "VScroll1"};
  rt::Label Label16{*this, "Label16"};
  rt::CheckBox chkUpdateIfOnline{*this, "chkUpdateIfOnline"};
  rt::Frame Frame2{*this, "Frame2"};
  rt::OptionButton optConnection0{*this, "optConnection(0)"};
  rt::TextBox txtProxyServer{*this, "txtProxyServer"};
  rt::Label Label15{*this, "Label15"};
  rt::TextBox txtProxyPort{*this, "txtProxyPort"};
  rt::OptionButton optConnection2{*this, "optConnection(2)"};
  rt::Frame Frame3{*this, "Frame3"};
  rt::CheckBox chkStartInTray{*this, "chkStartInTray"};
  rt::CheckBox chkProgramStart{*this, "chkProgramStart"};
  rt::CheckBox chkShutdown{*this, "chkShutdown"};

  // ---- tab "Data Provider"
  rt::Label Label14{*this, "Label14"};
  rt::Label Label13{*this, "Label13"};
  rt::Label Label10{*this, "Label10"};
  rt::Label Label8{*this, "Label8"};
  rt::Label lblFreeRealTime{*this, "lblFreeRealTime"};
  rt::Label Label11{*this, "Label11"};
  rt::TextBox txtUserName2{*this, "txtUserName2"};
  rt::Label Label12{*this, "Label12"};
  rt::TextBox txtPassword2{*this, "txtPassword2"};
  rt::Label Label1{*this, "Label1"};
  rt::Label lblEmail{*this, "lblEmail"};

  // ---- tab "vyk"
  rt::PictureBox Image1{*this, "Image1"};
  rt::Label Label2{*this, "Label2"};
  rt::CommandButton cmdProducts{*this, "cmdProducts"};

  // the option buttons of the proxy choice by their index (0 and 2)
  rt::OptionButton& optConnection(int index) { return index == 0 ? optConnection0 : optConnection2; }

  // ---- settings, buttons, autostart, version check, alarm wait
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdApply_Click();
  void optConnection_Click(int Index);
  void chkProgramStart_Click();
  void cmdChkNewVersion_Click();
  void CmdEmailWaittime_Click();

  // ---- field checks
  void txtStartTime_Change();
  void txtStopTime_Change();
  void txtUpdateInterval_Change();
  void txtAlarmWait_Change();
  void VScroll1_Change();
  void VScroll2_Change();

  // ---- notification switches and test sends
  void chkEMail1_Click();
  void chkEMail2_Click();
  void chkSMS_Click();
  void chkInternetSMS_Click();
  void cmdTestEmail1_Click();
  void cmdTestEmail2_Click();
  void cmdTestSMS_Click();

  // ---- links and the request mail
  void cmdProducts_Click();
  void Label2_Click();
  void Label13_Click();
  void lblFreeRealTime_Click();
  void Label20_Click();
  void lblEmail_Click();

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void Copy_Settings();
  // what the field checks, the switches and the links add to the design: their handlers and looks
  void DesignChecks();
  void DesignMail();
  void DesignLinks();
  // A test send's button back to its caption and look once the send returned.
  void SendDone(rt::CommandButton& button, const char* caption);
};

#pragma once
// The about window: product and version, the system information program, and links to the maker's
// home page. Its two buttons are drawn by the program: a face picture with a caption label on it.

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"

class frmAbout : public rt::Form {
 public:
  frmAbout();

  rt::PictureBox Image1{*this, "Image1"};
  rt::Label lblTitle{*this, "lblTitle"};
  rt::Label lblVersion{*this, "lblVersion"};
  rt::Label Label1{*this, "Label1"};
  rt::Label Label3{*this, "Label3"};
  rt::Label Label2{*this, "Label2"};
  rt::Label lblCopyright{*this, "lblCopyright"};
  rt::PictureBox ImgSysInfo{*this, "ImgSysInfo"};
  rt::Label lblSysInfo{*this, "lblSysInfo"};
  rt::PictureBox ImgOK{*this, "ImgOK"};
  rt::Label lblOK{*this, "lblOK"};
  // the two faces of the buttons: index 0 released, index 1 pressed
  rt::PictureBox& imgButton(int index) { return index == 0 ? imgButton0_ : imgButton1_; }

  void lblOK_Click();
  void lblSysInfo_Click();

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  rt::PictureBox imgButton0_{*this, "imgButton(0)"};
  rt::PictureBox imgButton1_{*this, "imgButton(1)"};
  void RunSystemInfo();
  void Pressed(rt::PictureBox& face, rt::Label& caption, bool pressed);
  void OpenHomePage();
};

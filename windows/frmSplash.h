#pragma once
// The window shown at every start while the program gets ready: product, version, user, company and how
// often the program has been started, for three seconds.

#include "platform/controls/Controls.h"
#include "platform/controls/Form.h"

class frmSplash : public rt::Form {
 public:
  frmSplash();

  rt::PictureBox Image1{*this, "Image1"};
  rt::Label lblTitel2{*this, "lblTitel2"};
  rt::Label lblTitle{*this, "lblTitle"};
  rt::Label lblVersion2{*this, "lblVersion2"};
  rt::Label lblVersion{*this, "lblVersion"};
  rt::Label lblUserID{*this, "lblUserID"};
  rt::Label lblCompanyID{*this, "lblCompanyID"};
  rt::Label Label3{*this, "Label3"};
  rt::Label lblUseCounter{*this, "lblUseCounter"};
  rt::Label Label2{*this, "Label2"};
  rt::AnimatedPicture AniGIF1{*this, "AniGIF1"};
  rt::ProgressBar ProgressBar1{*this, "ProgressBar1"};

 protected:
  void Design() override;
  void Form_Load() override;
};

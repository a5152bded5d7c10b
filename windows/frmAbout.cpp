#include "windows/frmAbout.h"

#include "library/ErrorTrap.h"
#include "library/Servers.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_Registry.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Launch.h"
#include "platform/runtime/Program.h"
#include "platform/win32/Shell.h"

namespace {
constexpr long kReleasedCaption = 0xFFC0C0;
constexpr long kPressedCaption = 0x80000012L;  // the desktop's button text
constexpr long kLink = 0xC00000;
}  // namespace

frmAbout::frmAbout() : rt::Form("frmAbout") {}

void frmAbout::Design() {
  DesignSize(6840, 3900);
  SetCaption("About");
  SetBorderStyle(1);
  const std::string bitmaps = VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/bitmap/";

  Image1.Move(240, 240, 1440, 1440);
  Image1.SetStretch(true);
  Skip([&] { Image1.LoadPicture(bitmaps + "splash.bmp"); });
  lblTitle.Move(1920, 240, 4680, 540);
  lblTitle.SetCaption("Application Title");
  lblTitle.SetFontSize(18);
  lblTitle.SetFontBold(true);
  lblTitle.SetForeColor(0x3A7A1F);
  lblVersion.Move(1920, 840, 4680, 300);
  lblVersion.SetCaption("Version");
  Label1.Move(1920, 1200, 4680, 300);
  Label1.SetCaption("Platforms  Windows 95, 98, Me, NT, 2000 and XP");
  Label3.Move(1920, 1620, 1020, 300);
  Label3.SetCaption("Member of");
  Label3.SetForeColor(kLink);
  Label2.Move(2940, 1620, 3660, 300);
  Label2.SetCaption("Software Suite");
  Label2.SetForeColor(kLink);
  Label2.SetFontBold(true);
  lblCopyright.Move(240, 2400, 6360, 300);
  lblCopyright.SetCaption("Copyright (c) VYK Software. All rights reserved.");
  lblCopyright.SetForeColor(kLink);

  Skip([&] { imgButton(0).LoadPicture(bitmaps + "button_up.bmp"); });
  Skip([&] { imgButton(1).LoadPicture(bitmaps + "button_down.bmp"); });
  imgButton(0).SetVisible(false);
  imgButton(1).SetVisible(false);
  struct Button {
    rt::PictureBox& face;
    rt::Label& caption;
    const char* text;
    double left;
  };
  for (const Button& b : {Button{ImgSysInfo, lblSysInfo, "System Info ...", 3000},
                          Button{ImgOK, lblOK, "OK", 4920}}) {
    b.face.Move(b.left, 3060, 1680, 390);
    b.face.SetStretch(true);
    Skip([&] { b.face.LoadPicture(imgButton(0).PicturePath()); });
    b.caption.Move(b.left, 3120, 1680, 270);
    b.caption.SetAlignment(2);
    b.caption.SetCaption(b.text);
    b.caption.SetForeColor(kReleasedCaption);
    b.caption.SetFontBold(true);
  }

  lblOK.Click = [this] { lblOK_Click(); };
  ImgOK.Click = [this] { lblOK_Click(); };
  lblSysInfo.Click = [this] { lblSysInfo_Click(); };
  ImgSysInfo.Click = [this] { lblSysInfo_Click(); };
  lblOK.MouseDown = [this](int button) {
    if (button == 1) Pressed(ImgOK, lblOK, true);
  };
  lblOK.MouseUp = [this](int) { Pressed(ImgOK, lblOK, false); };
  lblSysInfo.MouseDown = [this](int button) {
    if (button == 1) Pressed(ImgSysInfo, lblSysInfo, true);
  };
  lblSysInfo.MouseUp = [this](int) { Pressed(ImgSysInfo, lblSysInfo, false); };
  for (rt::Label* link : {&Label2, &Label3, &lblCopyright}) link->Click = [this] { OpenHomePage(); };
  Image1.Click = [this] { OpenHomePage(); };
}

void frmAbout::Form_Load() {
  Skip([&] {
    lblVersion.SetCaption("Version " + std::to_string(rt::App.Major) + "." + std::to_string(rt::App.Minor) + "." +
                          std::to_string(rt::App.Revision));
  });
  Skip([&] { lblTitle.SetCaption(rt::App.ProductName); });
  Skip([&] { SetCaption("About " + rt::App.ProductName); });
}

void frmAbout::Pressed(rt::PictureBox& face, rt::Label& caption, bool pressed) {
  Skip([&] { face.LoadPicture(imgButton(pressed ? 1 : 0).PicturePath()); });
  Skip([&] { caption.SetForeColor(pressed ? kPressedCaption : kReleasedCaption); });
}

void frmAbout::lblOK_Click() {
  HandlerTrap("lblOK_Click of Formular frmAbout")([&] {
    Unload();
    rt::DoEvents();
  });
}

void frmAbout::lblSysInfo_Click() {
  HandlerTrap("lblOK_Click of Formular frmAbout")([&] {
    RunSystemInfo();
    rt::DoEvents();
  });
}

void frmAbout::RunSystemInfo() {
  try {
    std::string program = VYK_Registry::ReadKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH");
    if (program.empty()) {
      const std::string folder =
          VYK_Registry::ReadKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO");
      const std::string candidate = folder + "/MSINFO32.EXE";
      if (folder.empty() || rt::Dir(candidate).empty()) throw rt::Error(rt::errFileNotFound, {});
      program = candidate;
    }
    // The store names the program itself, whose folder has blanks as often as not: it is started by its
    // whole name, which Shell would take for a command line and cut at the first blank.
    if (!rt::Launch({rt::Launched::Program, program, {}})) throw rt::Error(rt::errFileNotFound, {});
    return;
  } catch (const rt::EndOfProcess&) {
    throw;
  } catch (...) {
  }
  rt::MsgBox("System Information Is Unavailable At This Time", rt::mbOkOnly, "Info");
}

void frmAbout::OpenHomePage() {
  Skip([&] { win32::ShellExecuteA(hWnd(), "open", Servers::Url("MakerHome", "/vyk"), "0", "0", 5); });
}

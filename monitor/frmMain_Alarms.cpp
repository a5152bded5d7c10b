// The main window's alarm evaluation: once a row has its new quote, the row's direction colour and status
// picture, the alarm at the desk (sound and message window) and, at most once per alarm wait, the
// notifications by e-mail and SMS.

#include <array>
#include <cstddef>
#include <string>

#include "library/ErrorTrap.h"
#include "library/VYK_File_Dir.h"
#include "library/VYK_PlaySound.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "platform/runtime/Strings.h"
#include "platform/win32/Multimedia.h"
#include "windows/frmOptions.h"

namespace settings = Tollerwick_Sub;

namespace {

constexpr long kColStatus = 0;
constexpr long kColLast = 3;
constexpr long kColChange = 4;
constexpr long kColHighLimit = 11;
constexpr long kColLowLimit = 12;
constexpr long kColLastAlert = 14;

constexpr long kDownColor = 0x0000FF;  // red
constexpr long kUpColor = 0x008000;    // dark green



// The news item an alarm e-mail carries as its body.
std::string CurrentNews() {
  const int index = settings::NewsIndex;
  if (index < 0 || index >= static_cast<int>(settings::NewsTable.size())) rt::Raise(rt::errSubscript);
  return settings::NewsTable[index];
}

frmOptions& Options() { return rt::Default<frmOptions>(); }

}  // namespace

void frmMain_Tollerwick::CheckAndSendAlarms(int& Row, std::string& Ticker) {
  HandlerTrap("CheckAndSendAlarms of Formular frmMain_Tollerwick")([&] {
    const auto evaluate = [&] {
      const bool down = rt::Left(FG3.TextMatrix(Row, kColChange), 1) == "-";

      // the change cell and the scroll entry's texts in the direction's colour
      FG3.SetRow(Row);
      FG3.SetCol(kColChange);
      const long color = down ? kDownColor : kUpColor;
      FG3.SetCellForeColor(color);
      settings::Entry(settings::TickerLabels, Row).SetForeColor(color);
      settings::Entry(settings::ValueLabels, Row).SetForeColor(color);
      FG3.SetCol(kColStatus);

      // the status picture goes to the row's first cell and to the scroll entry alike
      const auto picture = [&](const char* up, const char* downName) {
        const std::string file = settings::BitmapPath(down ? downName : up);
        FG3.SetCellPicture(file);
        settings::Entry(settings::TickerImages, Row).LoadPicture(file);
      };

      // MakeNumber2 takes the sign and the commas out of its text: the cells keep theirs
      const std::string lastText = FG3.TextMatrix(Row, kColLast);
      const std::string limitText = FG3.TextMatrix(Row, down ? kColLowLimit : kColHighLimit);
      std::string number = lastText;
      const double last = MakeNumber2(number);
      number = limitText;
      const double limit = MakeNumber2(number);
      const bool alarm = !rt::Trim(limitText).empty() && (down ? last < limit : last > limit);
      if (!alarm) {
        picture("up.bmp", "down.bmp");
        return;
      }
      picture("AlarmUP.bmp", "Alarmdown.bmp");

      const std::string alarmText = down ? " is below Low Limit !" : " is over High Limit !";
      if (chkAlarmSnd.Value() == 1) {
        AlarmSound();
        frmMessage& message = rt::Default<frmMessage>();
        message.SetCaption(Ticker + " Alarm");
        message.lblMessage.SetCaption(Ticker + alarmText);
        message.Show(0, this);
      }

      // Notifications are due once the alarm wait has passed since the row's stamp, counted in hour
      // boundaries. A stamp or a wait that does not convert keeps a falling row quiet; for a rising row
      // it is an error.
      bool due = false;
      const auto waitIsOver = [&] {
        const long hours = rt::DateDiffHours(rt::CDate(FG3.TextMatrix(Row, kColLastAlert)), rt::Now());
        return hours - 1 >= rt::CLng(settings::txtAlarmWait);
      };
      if (down)
        Skip([&] { due = waitIsOver(); });
      else
        due = waitIsOver();
      if (!due) return;

      FG3.SetTextMatrix(Row, kColLastAlert, rt::FormatGeneralDate(rt::Now()));
      if (Options().chkEMail1.Value() == 1 || Options().chkEMail2.Value() == 1 || Options().chkSMS.Value() == 1)
        picture("Emailup.bmp", "Emaildown.bmp");

      // Each switch and address is read just before its own send: what the user changes in the options
      // dialog while an earlier send runs applies to the later ones.
      const std::string trend = down ? " / fell short of Low Limit" : " / exceeded High Limit";
      const std::string subject = Ticker + " = " + lastText + trend;
      const std::string sender = down ? "Brennavale" : "Tollerwick";
      if (Options().chkEMail1.Value() == 1) {
        const std::string to = Options().txtToEmailAddress1.Text();
        const std::string body = CurrentNews();
        SendEmail(Options().txtEmailServer.Text(), sender, settings::txtUserEmail, to, to, subject, body);
      }
      if (Options().chkEMail2.Value() == 1) {
        const std::string to = Options().txtToEmailAddress2.Text();
        const std::string body = CurrentNews();
        SendEmail(Options().txtEmailServer.Text(), sender, settings::txtUserEmail, to, to, subject, body);
      }
      // the gateway wants its code as the subject; the text goes into the body, after the date and time
      if (Options().chkSMS.Value() == 1)
        SendEmail(settings::txtEmailServer, "Tollerwick", settings::txtUserEmail, settings::txtUserName,
                  settings::txtToSMSAddress, settings::txtToSMSSubject,
                  rt::FormatGeneralDate(rt::Now()) + rt::vbCrLf + Ticker + " = " + lastText + trend);
    };
    evaluate();
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::AlarmSound() {
  HandlerTrap("AlarmSound of Formular frmMain_Tollerwick")([&] {
    if (!VYK_PlaySound::HasSound()) return;
    win32::PlaySoundA(VYK_File_Dir::sFixDirString(rt::App.Path()) + "../Common/sound/alarm.wav", 0,
                      win32::SND_ASYNC | win32::SND_FILENAME);
    rt::DoEvents();
  });
}

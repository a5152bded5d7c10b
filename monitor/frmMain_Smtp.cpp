// The main window's mail sender: one plain-text message to one recipient, spoken line by line to the mail
// server over the window's socket control Winsock1, each reply awaited with the user interface alive.

#include <string>
#include <utility>
#include <vector>

#include "library/ErrorTrap.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "monitor/frmMessage.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Convert.h"
#include "platform/runtime/Events.h"

namespace {

constexpr long kSmtpPort = 25;
// The name this program gives itself after HELO.
constexpr const char* kHeloName = "tollerwick.localdomain";
constexpr double kReplySeconds = 50;
const std::string kCrLf = "\r\n";

void ShowMailError(const std::string& message, int modal, rt::Form* owner) {
  frmMessage& box = rt::Default<frmMessage>();
  box.SetCaption("eMail - Error");
  box.lblMessage.SetCaption(message);
  box.Show(modal, owner);
}

// A text that goes into a command or a header line stays on that line: a CR or LF in a name, an address
// or the subject would otherwise start a command or a header of its own.
std::string OneLine(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

// The body as the server must get it: every line ends in CR LF (a bare LF or a bare CR ends a line
// too), and a line that begins with "." gets a second one, which the server takes off again; without it
// a line holding only "." would end the message there and the rest would be lost.
std::string BodyText(const std::string& body) {
  std::string out;
  out.reserve(body.size() + 16);
  bool lineStart = true;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
      out += kCrLf;
      lineStart = true;
      continue;
    }
    if (lineStart && c == '.') out += '.';
    lineStart = false;
    out += c;
  }
  return out;
}

// The mail server is named by host name or address, and may carry a port after a colon ("host:2525"),
// which lets a server listen on another port than 25. A name with more than one colon is an IPv6
// address and names the host only.
void SplitServer(const std::string& name, std::string& host, long& port) {
  host = name;
  port = kSmtpPort;
  const size_t colon = name.find(':');
  if (colon == std::string::npos || name.find(':', colon + 1) != std::string::npos) return;
  const std::string digits = name.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return;
  const long p = std::stol(digits);
  if (p < 1 || p > 65535) return;
  host = name.substr(0, colon);
  port = p;
}

// "Sun, 06 Dec 2026 10:15:00 -0600": names of the regional settings, a 24-hour clock, a fixed zone.
std::string DateStamp() {
  return rt::FormatDate(rt::Now(), "ddd, dd MMM yyyy HH:mm:ss") + " -0600";
}

}  // namespace

void frmMain_Tollerwick::SendEmail(const std::string& MailServerName, const std::string& FromName,
                                   const std::string& FromEmailAddress, const std::string& ToName,
                                   const std::string& ToEmailAddress, const std::string& EmailSubject,
                                   const std::string& EmailBodyOfMessage) {
  // One socket carries one dialogue. A send asked for while another waits for the server (a test send
  // clicked during an alarm's mails, an alarm raised during a test send) goes out when that one has ended;
  // starting it at once would cut the first one off and make it fail.
  if (SmtpSending) {
    SmtpWaiting.push_back({MailServerName, FromName, FromEmailAddress, ToName, ToEmailAddress, EmailSubject,
                           EmailBodyOfMessage});
    return;
  }
  SmtpSending = true;
  struct Sent {
    bool& sending;
    ~Sent() { sending = false; }
  };
  {
    Sent sent{SmtpSending};
    SendOneEmail(MailServerName, FromName, FromEmailAddress, ToName, ToEmailAddress, EmailSubject,
                 EmailBodyOfMessage);
  }
  while (!SmtpWaiting.empty() && !SmtpSending) {
    const std::vector<std::string> mail = std::move(SmtpWaiting.front());
    SmtpWaiting.pop_front();
    SendEmail(mail[0], mail[1], mail[2], mail[3], mail[4], mail[5], mail[6]);
  }
}

void frmMain_Tollerwick::SendOneEmail(const std::string& MailServerName, const std::string& FromName,
                                      const std::string& FromEmailAddress, const std::string& ToName,
                                      const std::string& ToEmailAddress, const std::string& EmailSubject,
                                      const std::string& EmailBodyOfMessage) {
  HandlerTrap("SendEmail of Formular frmMain_Tollerwick")([&] {
    // whatever connection is still open, of an earlier send or of one still waiting, ends here
    Winsock1.Close();
    Winsock1.SetLocalPort(0);
    // a part of a reply from that connection is no reply of this one
    SmtpReceived.Clear();
    SmtpReplyTooLong = false;
    SmtpProgress = 10;
    if (Winsock1.State() != rt::sckClosed) {
      ShowMailError(" " + std::to_string(Winsock1.State()), 0, this);
      SmtpProgress = 0;
      rt::DoEvents();
      return;
    }

    const std::string fromAddress = OneLine(FromEmailAddress);
    const std::string toAddress = OneLine(ToEmailAddress);
    const std::string headerLines[] = {
        "From: \"" + OneLine(FromName) + "\" <" + fromAddress + ">",
        "Date: " + DateStamp(),
        "X-Mailer: ZOZA Raroru",
        "To: " + OneLine(ToName),
        "Subject: " + OneLine(EmailSubject),
        "",  // the end of the header
    };
    std::string header;
    for (const std::string& line : headerLines) header += line + kCrLf;
    const std::string body = BodyText(EmailBodyOfMessage) + kCrLf + kCrLf;

    std::string host;
    long port = kSmtpPort;
    SplitServer(MailServerName, host, port);
    Winsock1.SetProtocol(rt::sckTCPProtocol);
    Winsock1.SetRemoteHost(host);
    Winsock1.SetRemotePort(port);
    Winsock1.Connect();

    // Each step sends its texts, then waits for the reply; a failed wait ends the send where it stands.
    struct Step {
      std::vector<std::string> sends;
      int progress;
      const char* code;
    };
    const Step steps[] = {
        {{}, 10, "220"},  // the server greets first
        {{"HELO " + std::string(kHeloName) + kCrLf}, 20, "250"},
        {{"mail from: " + fromAddress + kCrLf}, 35, "250"},
        {{"rcpt to: " + toAddress + kCrLf}, 50, "250"},
        {{"data" + kCrLf}, 65, "354"},
        {{header, body, "." + kCrLf}, 80, "250"},
        {{"quit" + kCrLf}, 95, "221"},
    };
    for (const Step& step : steps) {
      SmtpUnasked = 0;
      for (const std::string& text : step.sends) Winsock1.SendData(text);
      SmtpProgress = step.progress;
      WaitFor(step.code);
      if (SmtpProgress == 0) {
        // the dialogue ends here, and so does the connection: the server is not left sending
        Winsock1.Close();
        return;
      }
    }

    Winsock1.Close();
    SmtpProgress = 100;
    rt::DoEvents();
  });
}

void frmMain_Tollerwick::Winsock1_DataArrival(long /*bytesTotal*/) {
  HandlerTrap("Winsock1_DataArrival of Formular frmMain_Tollerwick")([&] {
    // A reply may come in pieces, and one of several lines may come line by line: only a complete reply
    // replaces the last one, so that the wait sees neither half a code nor the first line of many.
    // The wait needs the last one only. A server that sends reply after reply nobody asked for is no mail
    // server either: a flood of them would keep the program busy for nothing.
    const bool replies = SmtpReceived.Add(Winsock1.GetData(), [&](std::string&& reply) {
      SmtpResponse = std::move(reply);
      ++SmtpUnasked;
    });
    if (!replies || SmtpUnasked > kMostRepliesUnasked) {
      // end the connection and drop what came of it
      Winsock1.Close();
      SmtpReceived.Clear();
      SmtpReplyTooLong = true;
    }
    rt::DoEvents();
  });
}

// Waits for a reply beginning with ResponseCode, at most 50 seconds from the start across both phases:
// first for any reply at all, then for one with the right code, since a later reply may still bring it.
void frmMain_Tollerwick::WaitFor(const std::string& ResponseCode) {
  HandlerTrap("WaitFor of Formular frmMain_Tollerwick")([&] {
    SmtpWaitStart = rt::SecondsClock();
    // the server broke off the dialogue with a reply too long to be one: no reply can come any more
    const auto tooLong = [&] {
      if (!SmtpReplyTooLong) return false;
      ShowMailError("SMTP service error, the response was too long; the connection was closed", 1, this);
      SmtpProgress = 0;
      return true;
    };
    while (SmtpResponse.empty()) {
      SmtpWaitElapsed = rt::SecondsClock() - SmtpWaitStart;
      rt::DoEventsWaiting(10);
      if (tooLong()) return;
      if (SmtpWaitElapsed > kReplySeconds) {
        ShowMailError("SMTP service error, timed out while waiting for response", 1, this);
        SmtpProgress = 0;
        return;
      }
    }
    while (SmtpResponse.substr(0, 3) != ResponseCode) {
      SmtpWaitElapsed = rt::SecondsClock() - SmtpWaitStart;
      rt::DoEventsWaiting(10);
      if (tooLong()) return;
      if (SmtpWaitElapsed > kReplySeconds) {
        ShowMailError("SMTP service error, impromper response code. Code should have been: " + ResponseCode +
                          " Code recieved: " + Tollerwick_Sub::Bounded(SmtpResponse),
                      1, this);
        SmtpProgress = 0;
        return;
      }
    }
    SmtpResponse.clear();
    rt::DoEvents();
  });
}

#pragma once
// The Internet transfer control: downloads one address over HTTP or HTTPS and hands back what the
// server sent. A download blocks until it ends (no events run meanwhile); a failure to reach the server
// raises the control's error numbers, and a reply the server marks as failed (status 400 and up) comes
// back empty. Any access loads the form when it is not loaded.

#include <string>

namespace rt {

class Form;

// Error numbers the control raises.
enum InetErrorNumber : long {
  inetErrGeneral = 35750,           // unsupported address, and failures without a number of their own
  inetErrCannotConnect = 35754,     // refused, or the host name does not resolve
  inetErrRequestTimedOut = 35761,   // no complete reply within RequestTimeout
};

enum InetProtocol : int { inetProtocolHTTP = 4, inetProtocolHTTPS = 5 };
enum InetAccessType : int { inetUseDefault = 0, inetDirect = 1, inetNamedProxy = 2 };

class Inet {
 public:
  Inet(Form& owner, std::string name);
  ~Inet();
  Inet(const Inet&) = delete;
  Inet& operator=(const Inet&) = delete;

  const std::string& Name() const { return name_; }

  std::string URL();
  void SetURL(std::string url);
  // Kept as set; the address itself decides how it is fetched.
  int Protocol();
  void SetProtocol(int protocol);
  // inetUseDefault and inetDirect go straight to the server (proxy variables of the environment are
  // ignored); inetNamedProxy goes through Proxy().
  int AccessType();
  void SetAccessType(int accessType);
  // "host:port"
  std::string Proxy();
  void SetProxy(std::string proxy);
  // With a user name set, requests carry HTTP basic authentication.
  std::string UserName();
  void SetUserName(std::string userName);
  std::string Password();
  void SetPassword(std::string password);
  // Seconds a whole download may take (0: no limit). Connecting alone gives up after at most 20 s.
  long RequestTimeout();
  void SetRequestTimeout(long seconds);

  // Downloads `url` (which becomes URL()), or URL() when empty, following up to 5 redirects. Returns
  // the body's bytes as they came, "" when the server answered with status 400 or above.
  std::string OpenURL(const std::string& url = {});
  // The HTTP status of the last download, 0 when no reply came.
  long ResponseCode();

  // Downloads block, so nothing is ever running when the program asks.
  bool StillExecuting();
  void Cancel();

 private:
  Form& form_;
  std::string name_;
  std::string url_;
  int protocol_ = inetProtocolHTTP;
  int accessType_ = inetUseDefault;
  std::string proxy_;
  std::string userName_;
  std::string password_;
  long requestTimeout_ = 60;
  long responseCode_ = 0;
};

}  // namespace rt

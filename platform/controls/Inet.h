#pragma once
// The Internet transfer control: downloads one address over HTTP or HTTPS and hands back what the
// server sent. OpenURL returns when the transfer has ended, but pending events (timers, clicks,
// repaints, the session's request to end) run while it waits. A failure to reach the server raises the
// control's error numbers, and a reply the server marks as failed (status 400 and up) comes back empty.
// Each control keeps its connection to a server between requests. Any access loads the form when it is
// not loaded.

#include <cstddef>
#include <memory>
#include <string>

namespace rt {

class Form;

// Error numbers the control raises.
enum InetErrorNumber : long {
  inetErrGeneral = 35750,          // unsupported address, and failures without a number of their own
  inetErrCannotConnect = 35754,    // refused, or the host name does not resolve
  inetErrRequestTimedOut = 35761,  // no complete reply within RequestTimeout
};

enum InetProtocol : int { inetProtocolHTTP = 4, inetProtocolHTTPS = 5 };
enum InetAccessType : int { inetUseDefault = 0, inetDirect = 1, inetNamedProxy = 2 };

class Inet {
 public:
  // The most a reply's body may hold; a longer one fails the download with inetErrGeneral.
  static constexpr size_t kMaxReplyBytes = 4u << 20;

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
  // inetUseDefault follows the proxy settings of the environment (http_proxy, https_proxy, no_proxy);
  // inetDirect goes straight to the server; inetNamedProxy goes through Proxy().
  int AccessType();
  void SetAccessType(int accessType);
  // "host:port"
  std::string Proxy();
  void SetProxy(std::string proxy);
  // The account belongs to the server of URL() at the time it is set (or, when no address is set yet,
  // to the server of the next download): requests to that server carry it as HTTP basic
  // authentication, requests to any other server, and redirects to one, do not.
  std::string UserName();
  void SetUserName(std::string userName);
  std::string Password();
  void SetPassword(std::string password);
  // Seconds a whole download may take (0: no limit). Connecting alone gives up after at most 20 s.
  long RequestTimeout();
  void SetRequestTimeout(long seconds);

  // Downloads `url` (which becomes URL()), or URL() when empty, following up to 5 redirects. Returns
  // the body's bytes as they came, "" when the server answered with status 400 or above. Called while
  // this control's download waits (from an event handled meanwhile), it waits for that one to end and
  // then downloads. A download cancelled meanwhile (Cancel, the form unloaded) raises inetErrGeneral.
  std::string OpenURL(const std::string& url = {});
  // The HTTP status of the last download, 0 when no reply came.
  long ResponseCode();

  // True while OpenURL waits for its transfer.
  bool StillExecuting();
  // Ends a running download: the waiting OpenURL raises.
  void Cancel();

 private:
  struct Session;
  struct Transfer;
  void BindAccount();
  void Configure(bool sendAccount);
  void WaitForTurn();
  std::string Wait();

  Form& form_;
  std::string name_;
  std::string url_;
  int protocol_ = inetProtocolHTTP;
  int accessType_ = inetUseDefault;
  std::string proxy_;
  std::string userName_;
  std::string password_;
  // the server ("scheme://host:port") the account belongs to; empty: the next one asked
  std::string accountServer_;
  long requestTimeout_ = 60;
  long responseCode_ = 0;
  std::unique_ptr<Session> session_;
  // false once the control is gone, for a wait that outlives it
  std::shared_ptr<bool> alive_;
};

}  // namespace rt

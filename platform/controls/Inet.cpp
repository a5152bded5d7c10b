#include "platform/controls/Inet.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <map>
#include <utility>
#include <vector>

#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/controls/Form.h"

namespace rt {
namespace {

constexpr long kMaxConnectSeconds = 20;
constexpr long kMaxRedirects = 5;
constexpr long kInvalidPropertyValue = 380;

void InitLibrary() {
  static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
  if (!done) Raise(inetErrGeneral, "Unable to initialise the network library");
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

bool IsWebAddress(const std::string& url) {
  return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "scheme://host:port" of a web address, "" when it is none.
std::string ServerOf(const std::string& url) {
  if (!IsWebAddress(url)) return {};
  CURLU* u = curl_url();
  if (!u) return {};
  std::string server;
  char* scheme = nullptr;
  char* host = nullptr;
  char* port = nullptr;
  if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK)
    server = Lower(scheme) + "://" + Lower(host) + ":" + port;
  curl_free(scheme);
  curl_free(host);
  curl_free(port);
  curl_url_cleanup(u);
  return server;
}

std::string UserAgent() {
  return App.ProductName + "/" + std::to_string(App.Major) + "." + std::to_string(App.Minor) + "." +
         std::to_string(App.Revision);
}

[[noreturn]] void RaiseTransferError(CURLcode code, bool tooLarge) {
  if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) Raise(inetErrGeneral, "Reply too large");
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: Raise(inetErrRequestTimedOut, "Request timed out");
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: Raise(inetErrCannotConnect, "Unable to connect to host");
    case CURLE_UNSUPPORTED_PROTOCOL: Raise(inetErrGeneral, "Unsupported protocol");
    default: Raise(inetErrGeneral, curl_easy_strerror(code));
  }
}

[[noreturn]] void RaiseCancelled() {
  Raise(inetErrGeneral, "Request cancelled");
}

}  // namespace

// What one OpenURL asked for and got back. It lives in the waiting call; the session fills it.
struct Inet::Transfer {
  std::string body;
  bool tooLarge = false;
  bool done = false;
  bool cancelled = false;
  CURLcode result = CURLE_OK;
  long status = 0;
};

// One easy handle for the control's requests, kept with its connections and name cache in a multi handle
// of its own, whose sockets and timer the event loop watches. It carries one transfer at a time; the
// transfer is finished here, when libcurl reports it, so that a later OpenURL (made while the first one
// waits further down the stack) can take the handle before the first one's caller has resumed.
struct Inet::Session {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  std::string agent = UserAgent();
  bool running = false;  // the easy handle is in the multi handle, carrying `current`
  Transfer* current = nullptr;
  long* lastStatus = nullptr;  // the control's ResponseCode

  // The notifiers of a socket. A socket libcurl no longer watches (a kept connection between two
  // transfers) keeps its notifiers, switched off: the next transfer switches them on again rather than
  // making new ones. A notifier is only a socket's number to the event loop, so one left off over a
  // socket that was closed meanwhile serves the next socket given the same number.
  struct Watch {
    std::unique_ptr<QSocketNotifier> read, write;
  };
  std::map<curl_socket_t, Watch> watches;
  std::unique_ptr<QTimer> timer;
  bool starting = false;  // Start is adding the transfer, and acts on it at once

  explicit Session(long* status) : lastStatus(status) {
    easy = curl_easy_init();
    multi = curl_multi_init();
    if (!easy || !multi) {
      Release();
      Raise(inetErrGeneral, "Unable to initialise the network library");
    }
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // an account never follows a redirect to another server
    curl_easy_setopt(easy, CURLOPT_UNRESTRICTED_AUTH, 0L);
    // Time-outs must not rely on signals: the program has other threads.
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, OnSocket);
    curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, OnTimer);
    curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
  }
  ~Session() { Release(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Release() {
    Stop();
    if (multi) curl_multi_cleanup(multi);
    if (easy) curl_easy_cleanup(easy);
    multi = nullptr;
    easy = nullptr;
    watches.clear();
    timer.reset();
  }

  static size_t Collect(char* data, size_t size, size_t count, void* userdata) {
    Transfer* t = static_cast<Session*>(userdata)->current;
    const size_t n = size * count;
    if (!t) return 0;
    if (n > kMaxReplyBytes - t->body.size()) {
      t->tooLarge = true;
      return 0;  // ends the transfer
    }
    t->body.append(data, n);
    return n;
  }

  static int OnSocket(CURL*, curl_socket_t fd, int what, void* userp, void*) {
    auto* s = static_cast<Session*>(userp);
    if (what == CURL_POLL_REMOVE) what = CURL_POLL_NONE;
    Watch& w = s->watches[fd];
    s->Follow(w.read, fd, QSocketNotifier::Read, (what & CURL_POLL_IN) != 0, CURL_CSELECT_IN);
    s->Follow(w.write, fd, QSocketNotifier::Write, (what & CURL_POLL_OUT) != 0, CURL_CSELECT_OUT);
    return 0;
  }

  void Follow(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t fd, QSocketNotifier::Type type, bool wanted,
              int event) {
    if (!notifier) {
      if (!wanted) return;
      notifier = std::make_unique<QSocketNotifier>(fd, type);
      // The transfer moves on in whatever event loop runs: the waiting OpenURL's, or a modal window's
      // opened meanwhile.
      QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, fd, event] { Act(fd, event); });
      return;
    }
    if (notifier->isEnabled() != wanted) notifier->setEnabled(wanted);
  }

  // libcurl's time-outs. The timer runs on while libcurl has none, and is not set again for a later one: it
  // then fires early, or once for nothing, and libcurl asks for what it still needs. Setting the timer
  // anew for every transfer and stopping it at the end costs more than that one turn.
  static int OnTimer(CURLM*, long timeoutMs, void* userp) {
    auto* s = static_cast<Session*>(userp);
    if (!s->timer || timeoutMs < 0) return 0;
    // the transfer just added is acted on at once
    if (s->starting && timeoutMs == 0) return 0;
    const int ms = static_cast<int>(std::min<long>(timeoutMs, 1L << 30));
    if (s->timer->isActive() && s->timer->remainingTime() <= ms) return 0;
    s->timer->start(ms);
    return 0;
  }

  // Hands libcurl a socket that became ready, or its timer.
  void Act(curl_socket_t fd, int event) {
    int runningHandles = 0;
    curl_multi_socket_action(multi, fd, event, &runningHandles);
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(multi, &left)) {
      if (m->msg == CURLMSG_DONE && m->easy_handle == easy) Finish(m->data.result);
    }
  }

  void Finish(CURLcode result) {
    Transfer* t = current;
    if (!t) return;
    t->result = result;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &t->status);
    *lastStatus = t->status;
    t->done = true;
    Stop();
  }

  void Start(Transfer& t) {
    if (!timer) {
      timer = std::make_unique<QTimer>();
      timer->setSingleShot(true);
      timer->setObjectName("transfer timer");
      QObject::connect(timer.get(), &QTimer::timeout, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
    }
    starting = true;
    const CURLMcode added = curl_multi_add_handle(multi, easy);
    starting = false;
    if (added != CURLM_OK) Raise(inetErrGeneral, curl_multi_strerror(added));
    current = &t;
    running = true;
    // The request goes out now (on a kept connection, at once), not after a turn of the event loop.
    Act(CURL_SOCKET_TIMEOUT, 0);
  }

  // Ends the transfer on the handle, finished or not; its waiting call sees it done or cancelled.
  void Stop() {
    if (!running) return;
    running = false;
    current = nullptr;
    curl_multi_remove_handle(multi, easy);
  }
};

Inet::Inet(Form& owner, std::string name)
    : form_(owner), name_(std::move(name)), alive_(std::make_shared<bool>(true)) {}

Inet::~Inet() {
  *alive_ = false;
}

std::string Inet::URL() {
  form_.EnsureLoaded();
  return url_;
}
void Inet::SetURL(std::string url) {
  form_.EnsureLoaded();
  url_ = std::move(url);
}
int Inet::Protocol() {
  form_.EnsureLoaded();
  return protocol_;
}
void Inet::SetProtocol(int protocol) {
  form_.EnsureLoaded();
  protocol_ = protocol;
}
int Inet::AccessType() {
  form_.EnsureLoaded();
  return accessType_;
}
void Inet::SetAccessType(int accessType) {
  form_.EnsureLoaded();
  if (accessType < inetUseDefault || accessType > inetNamedProxy)
    Raise(kInvalidPropertyValue, "Invalid property value");
  accessType_ = accessType;
}
std::string Inet::Proxy() {
  form_.EnsureLoaded();
  return proxy_;
}
void Inet::SetProxy(std::string proxy) {
  form_.EnsureLoaded();
  proxy_ = std::move(proxy);
}
std::string Inet::UserName() {
  form_.EnsureLoaded();
  return userName_;
}
void Inet::SetUserName(std::string userName) {
  form_.EnsureLoaded();
  userName_ = std::move(userName);
  BindAccount();
}
std::string Inet::Password() {
  form_.EnsureLoaded();
  return password_;
}
void Inet::SetPassword(std::string password) {
  form_.EnsureLoaded();
  password_ = std::move(password);
  BindAccount();
}
long Inet::RequestTimeout() {
  form_.EnsureLoaded();
  return requestTimeout_;
}
void Inet::SetRequestTimeout(long seconds) {
  form_.EnsureLoaded();
  if (seconds < 0) Raise(kInvalidPropertyValue, "Invalid property value");
  requestTimeout_ = seconds;
}
long Inet::ResponseCode() {
  form_.EnsureLoaded();
  return responseCode_;
}
bool Inet::StillExecuting() {
  form_.EnsureLoaded();
  return session_ && session_->running;
}
void Inet::Cancel() {
  form_.EnsureLoaded();
  if (!session_ || !session_->running) return;
  Transfer* t = session_->current;
  t->cancelled = true;
  t->done = true;
  session_->Stop();
}

void Inet::BindAccount() {
  accountServer_ = ServerOf(url_);
}

void Inet::Configure(bool sendAccount) {
  CURL* h = session_->easy;
  curl_easy_setopt(h, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(h, CURLOPT_TIMEOUT, requestTimeout_);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT,
                   requestTimeout_ > 0 ? std::min(requestTimeout_, kMaxConnectSeconds) : kMaxConnectSeconds);

  if (accessType_ == inetNamedProxy && !proxy_.empty()) {
    curl_easy_setopt(h, CURLOPT_PROXY, proxy_.c_str());
    // The named proxy serves every host, whatever no_proxy says.
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");
  } else if (accessType_ == inetUseDefault) {
    // No proxy of our own: libcurl takes http_proxy, https_proxy and no_proxy from the environment.
    curl_easy_setopt(h, CURLOPT_PROXY, nullptr);
    curl_easy_setopt(h, CURLOPT_NOPROXY, nullptr);
  } else {
    // An empty proxy keeps libcurl from taking one from the environment.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, nullptr);
  }

  if (sendAccount) {
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(h, CURLOPT_USERNAME, userName_.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password_.c_str());
  } else {
    curl_easy_setopt(h, CURLOPT_USERNAME, nullptr);
    curl_easy_setopt(h, CURLOPT_PASSWORD, nullptr);
  }
}

std::string Inet::OpenURL(const std::string& url) {
  form_.EnsureLoaded();
  // Asked again while a transfer of this control waits further down the stack (a click during a
  // download, say): this one goes after it, as a blocking download would have let it.
  if (session_ && session_->running) WaitForTurn();
  if (!url.empty()) url_ = url;
  responseCode_ = 0;
  if (url_.empty()) Raise(inetErrGeneral, "URL is malformed");
  // libcurl would guess a scheme for a bare host name; only explicit web addresses are fetched.
  if (!IsWebAddress(url_)) Raise(inetErrGeneral, "Unsupported protocol");

  InitLibrary();
  if (!session_) session_ = std::make_unique<Session>(&responseCode_);
  // the account goes only to the server it belongs to; without one there is nothing to compare
  bool sendAccount = false;
  if (!userName_.empty()) {
    const std::string server = ServerOf(url_);
    if (accountServer_.empty()) accountServer_ = server;
    sendAccount = !server.empty() && server == accountServer_;
  }
  Configure(sendAccount);
  return Wait();
}

void Inet::WaitForTurn() {
  const std::shared_ptr<bool> alive = alive_;
  Form& form = form_;
  while (session_ && session_->running) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (!*alive || !form.IsLoaded()) RaiseCancelled();
  }
}

std::string Inet::Wait() {
  Session& s = *session_;
  Transfer t;
  if (!QCoreApplication::instance()) {
    // no event loop to keep alive
    s.current = &t;
    t.result = curl_easy_perform(s.easy);
    s.current = nullptr;
    curl_easy_getinfo(s.easy, CURLINFO_RESPONSE_CODE, &t.status);
    responseCode_ = t.status;
  } else {
    s.Start(t);
    // Leaves the multi handle however the wait ends; a control destroyed meanwhile has done so itself.
    struct Leave {
      std::shared_ptr<bool> alive;
      Session& s;
      Transfer& t;
      ~Leave() {
        if (*alive && s.current == &t) s.Stop();
      }
    } leave{alive_, s, t};
    Form& form = form_;
    while (!t.done) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
      if (!*leave.alive || !form.IsLoaded()) RaiseCancelled();
    }
    if (t.cancelled) RaiseCancelled();
  }
  if (t.result != CURLE_OK) RaiseTransferError(t.result, t.tooLarge);
  if (t.status >= 400) return {};
  return std::move(t.body);
}

}  // namespace rt

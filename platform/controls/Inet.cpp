#include "platform/controls/Inet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/runtime/App.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Form.h"

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

size_t Collect(char* data, size_t size, size_t count, void* userdata) {
  static_cast<std::string*>(userdata)->append(data, size * count);
  return size * count;
}

struct EasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};

std::string UserAgent() {
  return App.ProductName + "/" + std::to_string(App.Major) + "." + std::to_string(App.Minor) + "." +
         std::to_string(App.Revision);
}

[[noreturn]] void RaiseTransferError(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: Raise(inetErrRequestTimedOut, "Request timed out");
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: Raise(inetErrCannotConnect, "Unable to connect to host");
    case CURLE_UNSUPPORTED_PROTOCOL: Raise(inetErrGeneral, "Unsupported protocol");
    default: Raise(inetErrGeneral, curl_easy_strerror(code));
  }
}

}  // namespace

Inet::Inet(Form& owner, std::string name) : form_(owner), name_(std::move(name)) {}
Inet::~Inet() = default;

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
  if (accessType < inetUseDefault || accessType > inetNamedProxy) Raise(kInvalidPropertyValue, "Invalid property value");
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
}
std::string Inet::Password() {
  form_.EnsureLoaded();
  return password_;
}
void Inet::SetPassword(std::string password) {
  form_.EnsureLoaded();
  password_ = std::move(password);
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
  return false;
}
void Inet::Cancel() { form_.EnsureLoaded(); }

std::string Inet::OpenURL(const std::string& url) {
  form_.EnsureLoaded();
  if (!url.empty()) url_ = url;
  responseCode_ = 0;
  if (url_.empty()) Raise(inetErrGeneral, "URL is malformed");
  // libcurl would guess a scheme for a bare host name; only explicit web addresses are fetched.
  if (!StartsWithNoCase(url_, "http://") && !StartsWithNoCase(url_, "https://"))
    Raise(inetErrGeneral, "Unsupported protocol");

  InitLibrary();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) Raise(inetErrGeneral, "Unable to initialise the network library");
  CURL* h = easy.get();
  std::string body;
  const std::string agent = UserAgent();

  curl_easy_setopt(h, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
  // Time-outs must not rely on signals: the program has other threads.
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, requestTimeout_);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT,
                   requestTimeout_ > 0 ? std::min(requestTimeout_, kMaxConnectSeconds) : kMaxConnectSeconds);
  curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

  if (accessType_ == inetNamedProxy && !proxy_.empty()) {
    curl_easy_setopt(h, CURLOPT_PROXY, proxy_.c_str());
    // The named proxy serves every host, whatever no_proxy says.
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");
  } else {
    // An empty proxy keeps libcurl from taking one from http_proxy and friends.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
  }

  if (!userName_.empty()) {
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(h, CURLOPT_USERNAME, userName_.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password_.c_str());
  }

  const CURLcode result = curl_easy_perform(h);
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  responseCode_ = status;
  if (result != CURLE_OK) RaiseTransferError(result);
  if (status >= 400) return {};
  return body;
}

}  // namespace rt

#pragma once
// Local stand-ins for the outside web servers: an HTTP server on 127.0.0.1 that a test starts itself.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace peers {

// A one-connection-at-a-time HTTP server on 127.0.0.1. The responder gets each request's head and
// returns the raw reply, or nothing to keep the connection open without answering.
class HttpServer {
 public:
  using Responder = std::function<std::optional<std::string>(const std::string& request)>;

  explicit HttpServer(Responder respond) : respond_(std::move(respond)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 8) != 0)
      throw std::runtime_error("cannot listen");
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~HttpServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }

  int Port() const { return port_; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  bool WaitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (!stop_) {
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }

  void Run() {
    while (WaitReadable(fd_)) {
      const int conn = ::accept(fd_, nullptr, nullptr);
      if (conn < 0) continue;
      std::string request;
      char buf[4096];
      while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(conn)) {
        const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<size_t>(n));
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      const std::optional<std::string> reply = respond_(request);
      if (reply) {
        size_t sent = 0;
        while (sent < reply->size()) {
          const ssize_t n = ::send(conn, reply->data() + sent, reply->size() - sent, MSG_NOSIGNAL);
          if (n <= 0) break;
          sent += static_cast<size_t>(n);
        }
      } else {
        // hold the connection until the test ends
        while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      ::close(conn);
    }
  }

  Responder respond_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// An HTTP/1.1 server on 127.0.0.1 that keeps each connection open for further requests, as web servers
// do, and serves several connections at once. The responder gets each request's head and returns the
// raw reply (see KeepAliveReply), or nothing to leave that request unanswered.
class KeepAliveServer {
 public:
  using Responder = std::function<std::optional<std::string>(const std::string& request)>;

  explicit KeepAliveServer(Responder respond);
  ~KeepAliveServer();
  KeepAliveServer(const KeepAliveServer&) = delete;
  KeepAliveServer& operator=(const KeepAliveServer&) = delete;

  int Port() const { return port_; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests() const;
  // Connections accepted so far.
  int Connections() const { return connections_; }

 private:
  void Accept();
  void Serve(int conn);

  Responder respond_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<std::thread> workers_;
  std::thread thread_;
};

// A whole HTTP reply that leaves the connection open.
std::string KeepAliveReply(int status, const std::string& reason, const std::string& body,
                           const std::string& headers = {});

// A server on 127.0.0.1 that answers every request with a body of `bytes` bytes, sent piece by piece
// as the client takes them, with a Content-Length header or, without one, ended by closing the
// connection.
class FloodServer {
 public:
  FloodServer(size_t bytes, bool announceLength);
  ~FloodServer();
  FloodServer(const FloodServer&) = delete;
  FloodServer& operator=(const FloodServer&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // Body bytes handed to the connection before the client hung up or the body was complete.
  size_t Sent() const { return sent_; }
  // True once a connection has ended.
  bool Finished() const { return finished_; }

 private:
  void Run();

  size_t bytes_;
  bool announceLength_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> sent_{0};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// A whole HTTP reply with a body.
std::string Reply(int status, const std::string& reason, const std::string& body, const std::string& headers = {});
// The path of a request's first line, and that line.
std::string Path(const std::string& request);
std::string RequestLine(const std::string& request);
// A port on 127.0.0.1 that nobody listens on.
int UnusedPort();

}  // namespace peers

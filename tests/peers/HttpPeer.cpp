#include "tests/peers/HttpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace peers {

std::string Reply(int status, const std::string& reason, const std::string& body, const std::string& headers) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

std::string Path(const std::string& request) {
  const size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

std::string RequestLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

namespace {

// A socket listening on 127.0.0.1 at a port of the system's choice.
int Listen(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0)
    throw std::runtime_error("cannot listen");
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

// Waits until `fd` can be read, looking at `stop` every 20 ms.
bool Readable(int fd, const std::atomic<bool>& stop) {
  pollfd p{fd, POLLIN, 0};
  while (!stop) {
    if (::poll(&p, 1, 20) > 0) return true;
  }
  return false;
}

bool SendAll(int fd, const char* data, size_t size, const std::atomic<bool>& stop,
             std::atomic<size_t>* sent = nullptr) {
  size_t done = 0;
  pollfd p{fd, POLLOUT, 0};
  while (done < size && !stop) {
    if (::poll(&p, 1, 20) <= 0) continue;
    const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
    if (sent) *sent += static_cast<size_t>(n);
  }
  return done == size;
}

}  // namespace

KeepAliveServer::KeepAliveServer(Responder respond) : respond_(std::move(respond)) {
  fd_ = Listen(port_);
  thread_ = std::thread([this] { Accept(); });
}

KeepAliveServer::~KeepAliveServer() {
  stop_ = true;
  thread_.join();
  for (std::thread& t : workers_) t.join();
  ::close(fd_);
}

std::vector<std::string> KeepAliveServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void KeepAliveServer::Accept() {
  while (Readable(fd_, stop_)) {
    const int conn = ::accept(fd_, nullptr, nullptr);
    if (conn < 0) continue;
    ++connections_;
    workers_.emplace_back([this, conn] { Serve(conn); });
  }
}

void KeepAliveServer::Serve(int conn) {
  std::string pending;
  char buf[4096];
  bool open = true;
  while (open && !stop_) {
    size_t end;
    while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
      if (!Readable(conn, stop_)) {
        open = false;
        break;
      }
      const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
      if (n <= 0) {
        open = false;
        break;
      }
      pending.append(buf, static_cast<size_t>(n));
    }
    if (!open) break;
    const std::string request = pending.substr(0, end + 4);
    pending.erase(0, end + 4);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    const std::optional<std::string> reply = respond_(request);
    if (!reply) {
      // hold the connection until the test ends
      while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      break;
    }
    open = SendAll(conn, reply->data(), reply->size(), stop_);
  }
  ::close(conn);
}

std::string KeepAliveReply(int status, const std::string& reason, const std::string& body, const std::string& headers) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n" + headers + "\r\n" + body;
}

FloodServer::FloodServer(size_t bytes, bool announceLength) : bytes_(bytes), announceLength_(announceLength) {
  fd_ = Listen(port_);
  thread_ = std::thread([this] { Run(); });
}

FloodServer::~FloodServer() {
  stop_ = true;
  thread_.join();
  ::close(fd_);
}

void FloodServer::Run() {
  while (Readable(fd_, stop_)) {
    const int conn = ::accept(fd_, nullptr, nullptr);
    if (conn < 0) continue;
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && Readable(conn, stop_)) {
      const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<size_t>(n));
    }
    std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (announceLength_) head += "Content-Length: " + std::to_string(bytes_) + "\r\n";
    head += "\r\n";
    if (SendAll(conn, head.data(), head.size(), stop_)) {
      const std::string piece(64 * 1024, 'x');
      size_t left = bytes_;
      while (left > 0 && SendAll(conn, piece.data(), std::min(left, piece.size()), stop_, &sent_))
        left -= std::min(left, piece.size());
    }
    ::close(conn);
    finished_ = true;
  }
}

int UnusedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace peers

#include "tests/peers/SmtpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <stdexcept>

namespace peers {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

SmtpServer::SmtpServer()
    : greeting_{{"220 peer.localdomain ready"}},
      answers_{{"helo", {{"250 peer.localdomain"}}},
               {"mail from", {{"250 sender ok"}}},
               {"rcpt to", {{"250 recipient ok"}}},
               {"data", {{"354 end data with <CR><LF>.<CR><LF>"}}},
               {".", {{"250 queued"}}},
               {"quit", {{"221 bye"}}}} {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 8) != 0)
    throw std::runtime_error("cannot listen");
  socklen_t len = sizeof addr;
  ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Run(); });
}

SmtpServer::~SmtpServer() {
  stop_ = true;
  thread_.join();
  ::close(fd_);
}

std::string SmtpServer::Name() const {
  return "127.0.0.1:" + std::to_string(port_);
}

void SmtpServer::Greet(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  greeting_ = std::move(reply);
}

void SmtpServer::Answer(const std::string& command, Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[Lower(command)] = std::move(reply);
}

void SmtpServer::SplitReplies(int gapMs) {
  splitGapMs_ = gapMs;
}

int SmtpServer::RepliesInterrupted() const {
  return interrupted_;
}

std::vector<std::string> SmtpServer::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

int SmtpServer::Connections() const {
  return connections_;
}

bool SmtpServer::Connected() const {
  return connected_;
}

bool SmtpServer::WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  while (!stop_) {
    if (::poll(&p, 1, 20) > 0) return true;
  }
  return false;
}

void SmtpServer::Run() {
  while (WaitReadable(fd_)) {
    const int conn = ::accept(fd_, nullptr, nullptr);
    if (conn < 0) continue;
    ++connections_;
    connected_ = true;
    const int yes = 1;
    ::setsockopt(conn, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    Serve(conn);
    ::close(conn);
    connected_ = false;
  }
}

void SmtpServer::SendPiece(int conn, const std::string& bytes, int afterMs, bool first, bool& interrupted) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(afterMs);
  while (!stop_ && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (!first && !interrupted) {
    pollfd p{conn, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0) {
      interrupted = true;
      ++interrupted_;
    }
  }
  ::send(conn, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void SmtpServer::Send(int conn, const Reply& reply) {
  const int gap = splitGapMs_;
  bool first = true;
  bool interrupted = false;
  for (const Part& part : reply) {
    const std::string text = part.lineEnd ? part.text + "\r\n" : part.text;
    if (gap < 0) {
      SendPiece(conn, text, part.afterMs, first, interrupted);
      first = false;
      continue;
    }
    for (size_t i = 0; i < text.size(); ++i) {
      SendPiece(conn, text.substr(i, 1), i == 0 ? part.afterMs : gap, first, interrupted);
      first = false;
    }
  }
}

SmtpServer::Reply SmtpServer::ReplyTo(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string command = Lower(line);
  const Reply* best = nullptr;
  size_t bestLength = 0;
  for (const auto& [start, reply] : answers_) {
    if (start == ".") continue;
    if (command.compare(0, start.size(), start) == 0 && start.size() > bestLength) {
      best = &reply;
      bestLength = start.size();
    }
  }
  return best ? *best : Reply{{"500 command not recognised"}};
}

void SmtpServer::Serve(int conn) {
  Reply greeting;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    greeting = greeting_;
  }
  Send(conn, greeting);
  std::string pending;
  bool inMessage = false;
  char buf[4096];
  while (WaitReadable(conn)) {
    const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
    if (n <= 0) return;
    pending.append(buf, static_cast<size_t>(n));
    for (size_t end = pending.find("\r\n"); end != std::string::npos; end = pending.find("\r\n")) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 2);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
      }
      if (inMessage) {
        if (line != ".") continue;
        inMessage = false;
        Reply reply;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          reply = answers_["."];
        }
        Send(conn, reply);
        continue;
      }
      const Reply reply = ReplyTo(line);
      Send(conn, reply);
      const std::string command = Lower(line);
      if (command == "data" && !reply.empty() && reply.back().text.compare(0, 3, "354") == 0) inMessage = true;
      if (command == "quit" && !reply.empty()) return;
    }
  }
}

}  // namespace peers

#pragma once
// A local stand-in for a mail server: SMTP on 127.0.0.1, on a port of its own, in a thread of its own.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace peers {

// Takes one connection at a time. It greets, answers each command by the words it begins with, takes the
// message after "data" line by line up to the line ".", and keeps every line it receives. After the
// answer to "quit" it closes the connection.
class SmtpServer {
 public:
  // A part of a reply, sent with CR LF after it (unless not `lineEnd`), `afterMs` milliseconds (real time)
  // after the part before. A part may hold several lines ("250-first\r\n250 last").
  struct Part {
    std::string text;
    int afterMs = 0;
    bool lineEnd = true;
  };
  using Reply = std::vector<Part>;

  SmtpServer();
  ~SmtpServer();
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  int Port() const { return port_; }
  // The server name to send through: "127.0.0.1:<port>".
  std::string Name() const;

  // The greeting, "220 ..." unless set; an empty reply greets with nothing.
  void Greet(Reply reply);
  // The reply to a command that begins with `command` (compared without regard to case), or with
  // "." to the end of a message. An empty reply leaves the command unanswered. Unless set: "helo",
  // "mail from", "rcpt to" and "." get 250, "data" 354, "quit" 221, anything else 500.
  void Answer(const std::string& command, Reply reply);

  // From now on every reply goes out one byte at a time, `gapMs` milliseconds (real time) apart, so that
  // the client gets it in as many pieces as it has bytes.
  void SplitReplies(int gapMs);
  // How many replies the client had already sent something into before their last byte was out.
  int RepliesInterrupted() const;

  // Every line received, without its CR LF, in order, over all connections.
  std::vector<std::string> Lines() const;
  int Connections() const;
  // True while a client is connected.
  bool Connected() const;

 private:
  void Run();
  void Serve(int conn);
  void Send(int conn, const Reply& reply);
  Reply ReplyTo(const std::string& line);
  bool WaitReadable(int fd);
  // Sends after `afterMs`; notes when the client has sent something before a piece that is not the
  // reply's first.
  void SendPiece(int conn, const std::string& bytes, int afterMs, bool first, bool& interrupted);

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::atomic<int> connections_{0};
  std::atomic<int> splitGapMs_{-1};
  std::atomic<int> interrupted_{0};
  mutable std::mutex mutex_;
  Reply greeting_;
  std::map<std::string, Reply> answers_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

}  // namespace peers

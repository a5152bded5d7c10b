#pragma once
// A mail server's replies gathered from the bytes as they arrive over the socket, in pieces of any size.

#include <cstddef>
#include <functional>
#include <string>

class SmtpReplies {
 public:
  // The most a reply line (its CR LF included) and a whole reply may hold. Mail servers keep a line within
  // 512 octets and a reply within a few lines; anything past these is no mail server's reply, and keeping
  // it would let a server fill the memory.
  static constexpr size_t kLineBytes = 4096;
  static constexpr size_t kReplyBytes = 65536;

  // Takes what arrived and hands each reply it completes to `reply`, in order. A reply is one or more lines,
  // each ended by CR LF (a bare LF is taken too); every line but the last has a hyphen after its
  // three-digit code ("250-..."), the last a blank or nothing ("250 OK", "250"). Each byte is looked at
  // once. False when a line or the reply grows past its limit: what came of it is dropped, and the
  // connection is no mail server's any more.
  bool Add(const std::string& data, const std::function<void(std::string&&)>& reply);
  // Forgets the reply begun so far.
  void Clear();
  // The bytes of the reply begun so far.
  size_t Held() const { return received_.size(); }

 private:
  std::string received_;
  size_t lineStart_ = 0;  // where the line not ended yet begins in received_
};

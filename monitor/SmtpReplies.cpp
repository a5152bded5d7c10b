#include "monitor/SmtpReplies.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// True when the line at `start` of `text` is one of a reply's lines but its last: it has a hyphen after
// its three-digit code ("250-..."); the last line has a blank or nothing there ("250 OK", "250").
bool MoreLinesFollow(const std::string& text, size_t start) {
  return text.size() - start >= 4 && text[start + 3] == '-' && text.find_first_not_of("0123456789", start) == start + 3;
}

}  // namespace

bool SmtpReplies::Add(const std::string& data, const std::function<void(std::string&&)>& reply) {
  size_t from = 0;
  while (from < data.size()) {
    // the line may grow by at most this much more; one byte past it shows that it is too long
    const size_t room = std::min(kLineBytes - (received_.size() - lineStart_), kReplyBytes - received_.size());
    const size_t look = std::min(data.size() - from, room + 1);
    const void* lf = std::memchr(data.data() + from, '\n', look);
    const size_t take = lf ? static_cast<size_t>(static_cast<const char*>(lf) - (data.data() + from)) + 1 : look;
    if (take > room) {
      Clear();
      return false;
    }
    received_.append(data, from, take);
    from += take;
    if (!lf) break;
    if (MoreLinesFollow(received_, lineStart_)) {
      lineStart_ = received_.size();
      continue;
    }
    reply(std::exchange(received_, std::string()));
    lineStart_ = 0;
  }
  return true;
}

void SmtpReplies::Clear() {
  received_.clear();
  received_.shrink_to_fit();
  lineStart_ = 0;
}

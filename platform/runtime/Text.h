#pragma once
// The characters of the program's texts. The program keeps its texts as UTF-8, but a text from a server may
// hold bytes that are no UTF-8 (a page in a single-byte code page). A character is one code point of a valid
// UTF-8 sequence, or one byte that starts none: every byte belongs to exactly one character, so a text cut
// at characters never loses or damages a byte. The toolkit's texts count UTF-16 units, in which a character
// beyond the first 65536 takes two; the controls turn their positions into characters.

#include <QString>
#include <cstddef>
#include <string_view>

namespace rt::text {

// The bytes of the character that starts at byte `at` (at < s.size()).
std::size_t CharBytes(std::string_view s, std::size_t at);
// The byte where the character `chars` characters after byte `from` starts; s.size() when the text ends
// before it.
std::size_t ByteOfChar(std::string_view s, std::size_t chars, std::size_t from = 0);
// The characters of the bytes from `from` up to `to`.
std::size_t CharCount(std::string_view s, std::size_t from = 0, std::size_t to = std::string_view::npos);
// True when the whole text is valid UTF-8.
bool IsUtf8(std::string_view s);

// The text as the toolkit shows it: each valid UTF-8 sequence as its character, each other byte as the
// character it stands for in Windows-1252, the code page such servers send.
QString ToQt(std::string_view s);

// The characters in the first `units` UTF-16 units of a toolkit text, and the units of its first `chars`
// characters (all of its units when it has fewer).
long CharsBefore(const QString& s, qsizetype units);
qsizetype UnitsBefore(const QString& s, long chars);

}  // namespace rt::text

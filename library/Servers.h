#pragma once
// The outside hosts the program talks to are deployment configuration: string values ("host" or
// "host:port") under HKEY_LOCAL_MACHINE\Software\VYK\Brennavale\Servers, with built-in defaults.

#include <string>

namespace Servers {

// The host (and port) configured under `name`, or the built-in default. A value that is not a plain host
// name with an optional port is not used.
std::string Host(const std::string& name);
// "http://" & Host(name) & path
std::string Url(const std::string& name, const std::string& path);

// Text as part of an address: a byte that `keep` accepts stays as it is, and so does an escape already in
// the text ("%" and two hexadecimal digits, "%5EDJI") unless `keepEscapes` is false; every other byte
// becomes "%" and its two digits.
std::string Encoded(const std::string& text, bool (*keep)(unsigned char byte), bool keepEscapes = true);
// Text as one part of an address: letters, digits and "-._~" as they are, an escape already in the text
// ("%5E") as it is, every other byte percent-encoded ("^DJI" gives "%5EDJI", "BRK B" gives "BRK%20B").
std::string AddressPart(const std::string& text);

}  // namespace Servers

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// Fixed-width upper-case hexadecimal text. A value that does not fit keeps only its low digits
// (of the 32-bit two's complement form), so formatting never fails and never widens.
std::string hex2(std::int32_t value);
std::string hex4(std::int32_t value);
std::string hex6(std::int32_t value);
std::string hex2h(std::int32_t value);
std::string hex4h(std::int32_t value);
std::string hex6h(std::int32_t value);

// Exactly 2, 4 or 6 characters of 0-9 and upper-case A-F; anything else gives -1.
std::int32_t parse_hex2(std::string_view text);
std::int32_t parse_hex4(std::string_view text);
std::int32_t parse_hex6(std::string_view text);

// Intel HEX record checksum of a text of digit pairs (the record without ':' and checksum).
// A last lone character is ignored and an invalid pair counts as -1.
std::string hex_checksum(std::string_view text);

// Appends hex2(value) to `out` without building a temporary string; for hot paths.
void append_hex2(std::string& out, std::int32_t value);

}  // namespace quillon

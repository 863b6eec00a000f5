#include "base/hex_text.h"

namespace quillon {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

std::string hex_digits(std::int32_t value, int width) {
    auto bits = static_cast<std::uint32_t>(value);
    std::string text(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[bits & 0xFu];
        bits >>= 4;
    }
    return text;
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string hex2(std::int32_t value) {
    return hex_digits(value, 2);
}
std::string hex4(std::int32_t value) {
    return hex_digits(value, 4);
}
std::string hex6(std::int32_t value) {
    return hex_digits(value, 6);
}
std::string hex2h(std::int32_t value) {
    return hex2(value) + "h";
}
std::string hex4h(std::int32_t value) {
    return hex4(value) + "h";
}
std::string hex6h(std::int32_t value) {
    return hex6(value) + "h";
}

void append_hex2(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    out.push_back(kDigits[(bits >> 4) & 0xFu]);
    out.push_back(kDigits[bits & 0xFu]);
}

std::int32_t parse_hex2(std::string_view text) {
    if (text.size() != 2) return -1;
    const int high = digit_value(text[0]);
    const int low = digit_value(text[1]);
    if (high < 0 || low < 0) return -1;
    return high * 16 + low;
}

std::int32_t parse_hex4(std::string_view text) {
    if (text.size() != 4) return -1;
    const std::int32_t high = parse_hex2(text.substr(0, 2));
    const std::int32_t low = parse_hex2(text.substr(2, 2));
    if (high < 0 || low < 0) return -1;
    return high * 256 + low;
}

std::int32_t parse_hex6(std::string_view text) {
    if (text.size() != 6) return -1;
    const std::int32_t a = parse_hex2(text.substr(0, 2));
    const std::int32_t b = parse_hex2(text.substr(2, 2));
    const std::int32_t c = parse_hex2(text.substr(4, 2));
    if (a < 0 || b < 0 || c < 0) return -1;
    return a * 65536 + b * 256 + c;
}

std::string hex_checksum(std::string_view text) {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i + 2 <= text.size(); i += 2)
        sum += parse_hex2(text.substr(i, 2));
    return hex2(-sum);
}

}  // namespace quillon

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// A serial line settings text such as "56000,n,8,1", taken apart.
struct LineSettings {
    enum class StopBits : std::uint8_t { One, OneAndHalf, Two };

    std::int32_t baud_rate = 0;  // bits per second, at least 1
    char parity = 'n';           // n(one), e(ven), o(dd), m(ark) or s(pace)
    int data_bits = 8;           // 5 to 8
    StopBits stop_bits = StopBits::One;

    bool operator==(const LineSettings&) const = default;
};

// Four fields separated by commas: baud rate (decimal digits), parity letter in either case, data
// bits and stop bits ("1", "1.5" or "2"); blanks around a field are ignored. Empty when the text
// is not of that form. Whether a port supports the values is for the port to say.
std::optional<LineSettings> parse_line_settings(std::string_view text);

// What the programmer port opens with: `baud_rate` (the setting kBaudRateSetting), no parity, 8
// data bits, 1 stop bit.
std::string programmer_line_settings(std::string_view baud_rate);

}  // namespace quillon

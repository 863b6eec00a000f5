#include "ports/line_settings.h"

#include <array>
#include <charconv>

namespace quillon {

namespace {

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool parse_digits(std::string_view text, std::int32_t& value) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<LineSettings> parse_line_settings(std::string_view text) {
    std::array<std::string_view, 4> fields;
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        if (count == fields.size()) return std::nullopt;
        fields[count++] = trim_blanks(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (count != fields.size()) return std::nullopt;

    LineSettings settings;
    if (!parse_digits(fields[0], settings.baud_rate) || settings.baud_rate < 1) return std::nullopt;

    if (fields[1].size() != 1) return std::nullopt;
    const char parity = static_cast<char>(fields[1].front() | 0x20);  // ASCII lower case
    if (std::string_view("neoms").find(parity) == std::string_view::npos) return std::nullopt;
    settings.parity = parity;

    std::int32_t data_bits = 0;
    if (!parse_digits(fields[2], data_bits) || data_bits < 5 || data_bits > 8) return std::nullopt;
    settings.data_bits = data_bits;

    if (fields[3] == "1") {
        settings.stop_bits = LineSettings::StopBits::One;
    } else if (fields[3] == "1.5") {
        settings.stop_bits = LineSettings::StopBits::OneAndHalf;
    } else if (fields[3] == "2") {
        settings.stop_bits = LineSettings::StopBits::Two;
    } else {
        return std::nullopt;
    }
    return settings;
}

std::string programmer_line_settings(std::string_view baud_rate) {
    return std::string(baud_rate) + ",n,8,1";
}

}  // namespace quillon

#include "model/silicon_lines.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/hex_text.h"
#include "base/numbers.h"

namespace quillon {

namespace {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::optional<std::int32_t> decimal_in(std::string_view text, std::int32_t low, std::int32_t high) {
    // A value must be a number: "5" and "5 ms" read, "fast" does not (leading_number gives 0).
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    const char first = text[start];
    if (!((first >= '0' && first <= '9') || first == '.')) return std::nullopt;
    const std::optional<std::int32_t> value = round_to_int32(leading_number(text));
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

std::vector<std::string_view> words(std::string_view text) {
    return split_words(text, " \t,");
}

}  // namespace

std::optional<ConfigValues> parse_config_bits(std::string_view text) {
    // Laid out as configerased: pairs at 1, 4, 7, ... with one character between them.
    const std::string upper = ascii_upper(text);
    ConfigValues bits;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        const auto position = static_cast<std::size_t>(3 * k - 3);
        const int value =
            position < upper.size() ? parse_hex2(std::string_view(upper).substr(position, 2)) : -1;
        if (value < 0) return std::nullopt;
        bits(k) = value;
    }
    return bits;
}

std::optional<std::int32_t> parse_pulse_ms(std::string_view text) {
    return decimal_in(text, kMinPulseMs, kMaxPulseMs);
}

std::optional<std::int32_t> parse_discharge_us(std::string_view text) {
    return decimal_in(text, 0, kMaxDischargeUs);
}

std::optional<AddressRange> parse_address_range(std::string_view text) {
    const std::string upper = ascii_upper(text);
    if (upper.size() != 13 || upper[6] != '-') return std::nullopt;
    const int first = parse_hex6(std::string_view(upper).substr(0, 6));
    const int last = parse_hex6(std::string_view(upper).substr(7, 6));
    if (first < 0 || last < first) return std::nullopt;
    return AddressRange{first, last};
}

std::optional<std::vector<AddressRange>> parse_address_ranges(std::string_view text) {
    std::vector<AddressRange> ranges;
    for (const std::string_view word : words(text)) {
        const std::optional<AddressRange> range = parse_address_range(word);
        if (!range) return std::nullopt;
        ranges.push_back(*range);
    }
    if (ranges.empty()) return std::nullopt;
    return ranges;
}

std::optional<DeviceId> parse_device_id(std::string_view text) {
    const std::vector<std::string_view> parts = words(text);
    if (parts.size() != 2) return std::nullopt;
    const std::int32_t id = parts[0].size() == 4 ? parse_hex4(ascii_upper(parts[0])) : -1;
    const std::int32_t mask = parts[1].size() == 4 ? parse_hex4(ascii_upper(parts[1])) : -1;
    if (id < 0 || mask <= 0 || (id & ~mask) != 0) return std::nullopt;
    return DeviceId{static_cast<std::uint16_t>(id), static_cast<std::uint16_t>(mask)};
}

std::string silicon_line_error(std::string_view key, std::string_view value) {
    if (key == "configbits:" && !parse_config_bits(value))
        return "configbits: " + quoted(value) + " is not 14 hexadecimal pairs laid out as configerased";
    if ((key == "codepulse:" || key == "configpulse:") && !parse_pulse_ms(value))
        return std::string(key) + " " + quoted(value) + " is no pulse length from " +
               std::to_string(kMinPulseMs) + " to " + std::to_string(kMaxPulseMs) + " ms";
    if (key == "discharge:" && !parse_discharge_us(value))
        return "discharge: " + quoted(value) + " is no time from 0 to " + std::to_string(kMaxDischargeUs) +
               " us";
    if (key == "bootblock:" && !parse_address_range(value))
        return "bootblock: " + quoted(value) + " is not one address range such as 000000-0001FF";
    if (key == "codeblocks:" && !parse_address_ranges(value))
        return "codeblocks: " + quoted(value) + " is not a list of address ranges such as 000200-001FFF";
    if (key == "deviceid:" && !parse_device_id(value))
        return "deviceid: " + quoted(value) +
               " is not an ID and a mask of four hexadecimal digits each, such as 0420 FFE0, with "
               "the ID inside a mask that is not 0000";
    return {};
}

std::string range_text(const AddressRange& range) {
    return hex6(range.first) + "-" + hex6(range.last);
}

}  // namespace quillon

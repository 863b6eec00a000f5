#include "base/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quillon {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Collect digits and at most one point; the first other character ends the number.
    std::string digits;
    bool seen_point = false;
    bool seen_digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (is_digit(c)) {
            digits.push_back(c);
            seen_digit = true;
        } else if (c == '.' && !seen_point) {
            digits.push_back(c);
            seen_point = true;
        } else {
            break;
        }
    }
    if (!seen_digit) return 0.0;
    if (digits.front() == '.') digits.insert(digits.begin(), '0');

    // from_chars ignores the C locale, so a decimal comma locale cannot change the result.
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
    (void)end;
    return negative ? -value : value;
}

double round_half_even(double value) {
    if (!std::isfinite(value)) return value;
    const double floor_value = std::floor(value);
    const double fraction = value - floor_value;
    if (fraction < 0.5) return floor_value;
    if (fraction > 0.5) return floor_value + 1.0;
    return std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
}

std::optional<std::int32_t> round_to_int32(double value) {
    const double rounded = round_half_even(value);
    if (!std::isfinite(rounded)) return std::nullopt;
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t leading_int32(std::string_view text, std::int32_t fallback) {
    return round_to_int32(leading_number(text)).value_or(fallback);
}

}  // namespace quillon

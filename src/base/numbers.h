#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// The number at the start of a text: leading blanks skipped, then an optional sign and decimal
// digits with at most one decimal point. Text without a leading number gives 0. Every typed or
// stored number of the program goes through this one conversion.
double leading_number(std::string_view text);

// Rounds to the nearest integer; a value exactly halfway goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
double round_half_even(double value);

// round_half_even as a 32-bit integer; empty when the value is not a number or does not fit.
std::optional<std::int32_t> round_to_int32(double value);

// leading_number rounded to a 32-bit integer; `fallback` when it does not fit.
std::int32_t leading_int32(std::string_view text, std::int32_t fallback = 0);

}  // namespace quillon

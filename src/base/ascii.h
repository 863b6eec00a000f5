#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Letter case of the ASCII letters only: device file keys, script words and hex digits are ASCII,
// and other characters must pass through untouched whatever the locale.
std::string ascii_lower(std::string_view text);
std::string ascii_upper(std::string_view text);

// The words of `text` between any of the `separators`; empty words are left out.
std::vector<std::string_view> split_words(std::string_view text, std::string_view separators);

}  // namespace quillon

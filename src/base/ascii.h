#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Letter case of the ASCII letters only: device file keys, script words and hex digits are ASCII,
// and other characters must pass through untouched whatever the locale.
std::string ascii_lower(std::string_view text);
std::string ascii_upper(std::string_view text);

}  // namespace quillon

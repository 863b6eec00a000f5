#pragma once

#include <string_view>
#include <vector>

namespace quillon {

// The lines of a HEX file as the reader numbers them. CR and LF both end a line, and a run of n
// line-end characters counts as ceil(n / 4) line ends, so a CR LF ends a line exactly once and a
// single blank line between CR LF lines does not count. One empty line always follows the last.
// The lines are views into `text`; nothing is copied.
std::vector<std::string_view> split_hex_lines(std::string_view text);

// `line` without the space characters at its end (tabs and other blanks stay).
std::string_view trim_trailing_spaces(std::string_view line);

}  // namespace quillon

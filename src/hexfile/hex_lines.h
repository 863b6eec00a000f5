#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillon {

// Breaks the text of a HEX file into the lines the reader numbers, one at a time and without
// copying: each line is a view into the text. CR and LF both end a line, and a run of n line-end
// characters counts as ceil(n / 4) line ends, so a CR LF ends a line exactly once and a single
// blank line between CR LF lines does not count. One empty line always follows the last.
class HexLineSplitter {
  public:
    explicit HexLineSplitter(std::string_view text);

    // The next line into `line`; false when there is none left.
    bool next(std::string_view& line);

  private:
    // The first CR or LF at or after `from`, or npos.
    std::size_t next_line_end(std::size_t from);

    std::string_view text_;
    std::size_t start_ = 0;  // where the next line begins
    // The next CR and the next LF, remembered so that a text without one of them is searched once.
    std::size_t next_cr_;
    std::size_t next_lf_;
    std::size_t empty_lines_due_ = 0;
    bool last_line_given_ = false;
    bool done_ = false;
};

// Every line of `text`, as HexLineSplitter gives them.
std::vector<std::string_view> split_hex_lines(std::string_view text);

// `line` without the space characters at its end (tabs and other blanks stay).
std::string_view trim_trailing_spaces(std::string_view line);

}  // namespace quillon

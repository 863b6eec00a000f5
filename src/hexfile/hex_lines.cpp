#include "hexfile/hex_lines.h"

#include <algorithm>

namespace quillon {

namespace {

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

HexLineSplitter::HexLineSplitter(std::string_view text)
    : text_(text), next_cr_(text.find('\r')), next_lf_(text.find('\n')) {}

std::size_t HexLineSplitter::next_line_end(std::size_t from) {
    if (next_cr_ < from) next_cr_ = text_.find('\r', from);
    if (next_lf_ < from) next_lf_ = text_.find('\n', from);
    return std::min(next_cr_, next_lf_);
}

bool HexLineSplitter::next(std::string_view& line) {
    if (empty_lines_due_ > 0) {
        --empty_lines_due_;
        line = {};
        return true;
    }
    if (done_) return false;
    if (last_line_given_) {
        done_ = true;
        line = {};
        return true;
    }
    std::size_t end = next_line_end(start_);
    if (end == std::string_view::npos) {
        line = text_.substr(start_);
        last_line_given_ = true;
        return true;
    }
    line = text_.substr(start_, end - start_);
    std::size_t run = 0;
    while (end < text_.size() && is_line_end(text_[end])) {
        ++run;
        ++end;
    }
    // Each line end after the first one of the run leaves an empty line behind.
    empty_lines_due_ = (run + 3) / 4 - 1;
    start_ = end;
    return true;
}

std::vector<std::string_view> split_hex_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    HexLineSplitter splitter(text);
    for (std::string_view line; splitter.next(line);)
        lines.push_back(line);
    return lines;
}

std::string_view trim_trailing_spaces(std::string_view line) {
    const std::size_t end = line.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
}

}  // namespace quillon

#include "hexfile/hex_lines.h"

namespace quillon {

namespace {

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::vector<std::string_view> split_hex_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    // Intel HEX records are at least 11 characters long, so this rarely reallocates.
    lines.reserve(text.size() / 16 + 2);
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!is_line_end(text[i])) {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        std::size_t run = 0;
        while (i < text.size() && is_line_end(text[i])) {
            ++run;
            ++i;
        }
        // Each line end after the first one of the run leaves an empty line behind.
        for (std::size_t extra = (run + 3) / 4; extra > 1; --extra)
            lines.emplace_back();
        start = i;
    }
    lines.push_back(text.substr(start));
    lines.emplace_back();
    return lines;
}

std::string_view trim_trailing_spaces(std::string_view line) {
    const std::size_t end = line.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
}

}  // namespace quillon

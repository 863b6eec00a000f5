#include "ui/message_text.h"

#include <vector>

namespace quillon {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + separator.size());
    }
    parts.push_back(text);
    return parts;
}

// Position after which a long word breaks: its last backslash within the first 55 characters,
// else its last underscore there; npos when it has neither.
std::size_t break_after(std::string_view word) {
    const std::string_view head = word.substr(0, kLongWordLength);
    std::size_t at = head.rfind('\\');
    if (at == std::string_view::npos) at = head.rfind('_');
    return at;
}

}  // namespace

std::string wrap_message(std::string_view text) {
    if (text.ends_with(kCrLf)) text.remove_suffix(kCrLf.size());
    std::string wrapped;
    wrapped.reserve(text.size() + 8);
    bool first_line = true;
    for (std::string_view line : split(text, kCrLf)) {
        if (!first_line) wrapped += kCrLf;
        first_line = false;
        bool first_word = true;
        for (std::string_view word : split(line, " ")) {
            if (!first_word) wrapped += ' ';
            first_word = false;
            const std::size_t at = word.size() > kLongWordLength ? break_after(word) : std::string_view::npos;
            if (at == std::string_view::npos) {
                wrapped += word;
            } else {
                wrapped += word.substr(0, at + 1);
                wrapped += kCrLf;
                wrapped += word.substr(at + 1);
            }
        }
    }
    return wrapped;
}

}  // namespace quillon

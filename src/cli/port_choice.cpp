#include "cli/port_choice.h"

#include <utility>

#include "base/ascii.h"
#include "ports/port_manager.h"

namespace quillon {

namespace {

// "5", "COM5", "com 2.5", "-1", "COM": what a user means as a port number, right or wrong.
bool looks_like_number(std::string_view text) {
    if (ascii_lower(text.substr(0, 3)) == "com") {
        text.remove_prefix(3);
        if (text.empty()) return true;
    }
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c != '.') {
            return false;
        }
    }
    return digit;
}

// "sim", "sim:FILE": true with the text after the colon in `rest`; "sim:" alone is no choice.
std::optional<bool> prefixed(std::string_view text, std::string_view word, std::string& rest) {
    if (text == word) return true;
    if (!text.starts_with(word) || text.size() <= word.size() || text[word.size()] != ':') return false;
    rest = std::string(text.substr(word.size() + 1));
    if (rest.empty()) return std::nullopt;
    return true;
}

}  // namespace

std::optional<PortChoice> parse_port_choice(std::string_view text) {
    PortChoice choice;
    for (const auto& [word, kind] : {std::pair{std::string_view("sim"), PortChoice::Kind::Simulator},
                                     std::pair{std::string_view("ftdisim"), PortChoice::Kind::FtdiSimulator},
                                     std::pair{std::string_view("ftdi"), PortChoice::Kind::Ftdi}}) {
        std::string rest;
        const std::optional<bool> matched = prefixed(text, word, rest);
        if (!matched) return std::nullopt;
        if (!*matched) continue;
        choice.kind = kind;
        if (kind == PortChoice::Kind::Ftdi) {
            choice.device = std::string(text);
        } else {
            choice.chip_file = rest;
        }
        return choice;
    }
    if (looks_like_number(text)) {
        const std::optional<std::int32_t> number = typed_port_number(text);
        if (!number) return std::nullopt;
        choice.kind = PortChoice::Kind::Number;
        choice.number = *number;
        return choice;
    }
    if (text.empty()) return std::nullopt;
    choice.kind = PortChoice::Kind::Device;
    choice.device = std::string(text);
    return choice;
}

}  // namespace quillon

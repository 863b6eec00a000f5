#include "cli/port_choice.h"

#include "base/ascii.h"
#include "engine/port_manager.h"

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

}  // namespace

std::optional<PortChoice> parse_port_choice(std::string_view text) {
    PortChoice choice;
    if (text == "sim" || text.starts_with("sim:")) {
        choice.kind = PortChoice::Kind::Simulator;
        if (text.starts_with("sim:")) {
            choice.chip_file = std::string(text.substr(4));
            if (choice.chip_file.empty()) return std::nullopt;
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

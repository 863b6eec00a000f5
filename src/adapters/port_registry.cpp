#include "adapters/port_registry.h"

#include <array>

#include "adapters/ftdi_port_form.h"
#include "adapters/serial_port_forms.h"
#include "adapters/simulated_port_forms.h"
#include "base/ascii.h"

namespace quillon {

namespace {

using Match = PortForm::Match;

// The forms in the order --help names them; the one without --port says what holds by default.
constexpr std::array kPortForms{
    PortForm{Match::Number,
             {},
             "a port number from 1 to 16 (also COM5)",
             "1-16 (COM1-COM16)",
             open_numbered_port,
             examine_numbered_port},
    PortForm{
        Match::Device, {}, "a serial device", "a serial device", open_serial_device, examine_serial_device},
    PortForm{Match::Word, "sim", "sim or sim:FILE",
             "sim[:FILE] for the simulated board with its chip kept in FILE", open_simulated_board,
             examine_simulated_board},
    PortForm{Match::Word, "ftdi", "ftdi or ftdi:SERIAL",
             "ftdi[:SERIAL] for an FTDI USB adapter in bit-bang mode", open_ftdi_adapter,
             examine_ftdi_adapter},
    PortForm{Match::Word, "ftdisim", "ftdisim or ftdisim:FILE",
             "ftdisim[:FILE] for the simulated board on a modelled one", open_simulated_ftdi_board,
             examine_simulated_ftdi_board},
    PortForm{
        Match::Absent, {}, {}, "default: the port the program uses", open_stored_port, examine_stored_port},
};

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

const PortForm* form_that(Match match) {
    for (const PortForm& form : kPortForms)
        if (form.match == match) return &form;
    return nullptr;
}

}  // namespace

std::span<const PortForm> port_forms() {
    return kPortForms;
}

std::optional<PortChoice> parse_port_choice(std::optional<std::string_view> text) {
    if (!text) return PortChoice{form_that(Match::Absent), {}, {}, 0};
    const std::string whole(*text);
    for (const PortForm& form : kPortForms) {
        if (form.match != Match::Word) continue;
        std::string rest;
        const std::optional<bool> matched = prefixed(*text, form.word, rest);
        if (!matched) return std::nullopt;
        if (*matched) return PortChoice{&form, whole, rest, 0};
    }
    if (looks_like_number(*text)) {
        const std::optional<std::int32_t> number = typed_port_number(*text);
        if (!number) return std::nullopt;
        return PortChoice{form_that(Match::Number), whole, {}, *number};
    }
    if (text->empty()) return std::nullopt;
    return PortChoice{form_that(Match::Device), whole, {}, 0};
}

std::string port_option_help_text() {
    std::string text = "Programmer port: ";
    std::string_view last;
    std::string_view by_default;
    for (const PortForm& form : kPortForms) {
        if (form.match == Match::Absent) {
            by_default = form.help;
            continue;
        }
        if (!last.empty()) text += std::string(last) + ", ";
        last = form.help;
    }
    return text + "or " + std::string(last) + "; " + std::string(by_default) + ".";
}

std::string port_usage_text() {
    std::string text = "--port takes ";
    bool first = true;
    for (const PortForm& form : kPortForms) {
        if (form.usage.empty()) continue;
        text += (first ? "" : ", ") + std::string(form.usage);
        first = false;
    }
    return text;
}

}  // namespace quillon

// The main window's port commands: port number, programming time and pinout.
#include <array>

#include "base/ascii.h"
#include "base/numbers.h"
#include "model/settings_catalog.h"
#include "ports/port_manager.h"

namespace quillon {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kWrongEntry = "Wrong entry!";

// The typed number when it lies within [low, high], rounded halves to even; empty otherwise.
std::optional<std::int32_t> typed_number_in_range(std::string_view answer, int low, int high) {
    const double value = leading_number(answer);
    if (!(value >= low && value <= high)) return std::nullopt;  // also refuses a NaN
    return static_cast<std::int32_t>(round_half_even(value));
}

}  // namespace

std::optional<std::int32_t> typed_port_number(std::string_view answer) {
    if (ascii_lower(answer.substr(0, 3)) == "com") answer.remove_prefix(3);
    return typed_number_in_range(answer, 1, 16);
}

std::optional<std::int32_t> typed_prog_time(std::string_view answer) {
    return typed_number_in_range(answer, 1, 30);
}

bool PortManager::menuport() {
    const std::string prompt = std::string("Please select programmer serial port number [1-16]:") + kCrLf +
                               kCrLf + "The list of COM ports that can be opened:" + kCrLf + state_.port_list;
    const std::string answer =
        host_.ask_text(prompt, state_.product_title, std::to_string(state_.port_number));
    if (answer.empty()) return false;

    const std::optional<std::int32_t> number = typed_port_number(answer);
    if (!number) {
        host_.show_message(kWrongEntry, MessageKind::Error, state_.product_title);
        return false;
    }
    close_port();
    state_.port_number = *number;
    write_setting(settings_, kPortNumberSetting, state_.port_number);
    open_programmer_port();
    return true;
}

void PortManager::menuprogtime() {
    const std::string answer = host_.ask_text("Enter new programming time in ms [1-30].",
                                              state_.product_title, std::to_string(state_.prog_time_ms));
    if (answer.empty()) return;
    const std::optional<std::int32_t> milliseconds = typed_prog_time(answer);
    if (!milliseconds) {
        host_.show_message(kWrongEntry, MessageKind::Error, state_.product_title);
        return;
    }
    state_.prog_time_ms = *milliseconds;
}

void PortManager::menuportinfo() {
    host_.show_message(pinout_text(), MessageKind::Ok, state_.product_title);
}

std::string pinout_text() {
    struct Pin {
        const char* number;
        const char* signal;
        const char* direction;
    };
    static constexpr std::array<Pin, 9> kPins = {{{"1", "DCD", "Input"},
                                                  {"2", "RD", "Input"},
                                                  {"3", "TD", "Output"},
                                                  {"4", "DTR", "Output"},
                                                  {"5", "GND", "-"},
                                                  {"6", "DSR", "Input"},
                                                  {"7", "RTS", "Output"},
                                                  {"8", "CTS", "Input"},
                                                  {"9", "RI", "Input"}}};
    std::string text = std::string("Serial Port Pinout:") + kCrLf + kCrLf + "Pin\tSignal\tDirection" + kCrLf;
    for (const Pin& pin : kPins)
        text += std::string(pin.number) + '\t' + pin.signal + '\t' + pin.direction + kCrLf;
    text += std::string(kCrLf) + "Directions are defined from the viewpoint of the PC." + kCrLf;
    return text;
}

}  // namespace quillon

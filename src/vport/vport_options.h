#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"

namespace quillon {

// How the virtual serial port behaves. The launcher takes it from its command line and hands it to
// the program it starts through environment variables, which the interposed port reads when the
// device is first opened.
struct VportOptions {
    std::string device;               // the pseudo-terminal that stands for the port: /dev/pts/N
    std::string model = "PIC18F452";  // the chip in the socket
    std::string chip_file;            // where the chip keeps its memories; empty: a fresh chip
    std::string counts_file;          // where the counts of calls are written; empty: nowhere
    std::string log_file;             // where the chip's log (power, erases, refusals) is written
    std::int64_t fail_after = -1;     // modem-control calls served before the port is pulled; -1 never
    std::int64_t call_delay_us = 0;   // how long each modem-control call takes at least
    std::int64_t call_cost_us = 0;    // how long each call counts on the chip's clock, without waiting
    bool swap_lines = false;          // DTR drives PGC and RTS drives PGD: a miswired board

    bool operator==(const VportOptions&) const = default;
};

// The environment variables that carry the options, name and value, for the program started.
std::vector<std::pair<std::string, std::string>> vport_environment(const VportOptions& options);

// The options from the environment, or nothing when no virtual port is set up there; fails with
// what is wrong with a value that is set.
Result<std::optional<VportOptions>> vport_options_from_environment();

// The name of the variable that names the device; set means this process runs on a virtual port.
inline constexpr const char* kVportDeviceVariable = "QUILLON_VPORT_DEVICE";

// A whole non-negative decimal number, or nothing.
std::optional<std::int64_t> parse_count(const std::string& text);

}  // namespace quillon

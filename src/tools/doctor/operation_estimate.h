#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/app_state.h"
#include "model/device_catalog.h"

namespace quillon {

// What one chip operation asks of the port for a full chip.
struct OperationCount {
    Operation operation = Operation::Program;
    std::int64_t line_changes = 0;  // DTR, RTS and supply toggles on TD
    std::int64_t dsr_reads = 0;
    std::chrono::nanoseconds waits{0};  // the script's sleeps: settling, programming time, erase
    // On a modelled port the whole run's time as the model kept it, and its USB round trips.
    std::optional<std::chrono::nanoseconds> modelled{};
    std::int64_t round_trips = 0;
};

// The line operations of program, read and verify of a full chip of one model.
struct OperationCounts {
    std::string model;
    std::string unavailable;                 // why there are no counts; empty when there are
    std::vector<OperationCount> operations;  // program, read, verify
};

// What one line change and one DSR read cost on a kind of port.
struct PortCost {
    std::string label;
    double change_us = 0;
    double read_us = 0;
};

// Rough figures for ports that could not be measured: a built-in UART switches a line in a few
// microseconds; a USB adapter needs a USB transfer, about a millisecond, for each change.
PortCost typical_uart_cost();
PortCost typical_usb_cost();

// Runs the program, read and verify scripts of the model selected in `state` on a simulated chip
// of the same name, on a fake clock, with an image that fills the whole chip (random FLASH and
// EEPROM bytes, the model's erased configuration values), and counts what each asks of the port.
// Line changes and DSR reads take as long on the fake clock as `cost` says, because how often a
// script polls a chip that is still writing depends on the pace of the port: on a slow port one
// poll covers the whole write. `state` itself is left as it was.
OperationCounts count_operations(const AppState& state, const PortCost& cost);

// The same operations through the FTDI bit-bang port on a modelled FT232R (1 ms a round trip,
// 128 states in flight) at the baud rate of `state`: the modelled time of each, and its round trips.
OperationCounts count_operations_on_ftdi(const AppState& state);
PortCost modelled_ftdi_cost();

// line_changes x change cost + dsr_reads x read cost + waits; the modelled time where there is one.
std::chrono::nanoseconds estimated_time(const OperationCount& count, const PortCost& cost);

// "0.4 s", "12.3 s", "18 min 20 s", "2 h 5 min".
std::string run_time_text(std::chrono::nanoseconds time);

}  // namespace quillon

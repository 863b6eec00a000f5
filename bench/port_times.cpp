// Program all, read all and verify of a full image of each supplied model named, on three kinds
// of port, all on the simulated chip and a fake clock:
//   FTDI      the FTDI bit-bang port on a modelled FT232R (1 ms a USB round trip at latency 1,
//             at most 128 states in flight, the pin rate of the 56000 baud setting)
//   USB       a USB serial adapter driven as a serial port, 1 ms per line change and DSR read
//   UART      a built-in UART, 5 us per line change and DSR read
// Each time includes the chip's waits (programming pulses, settling, erase, EEPROM writes).
//   quillon-bench-ports [MODEL...]   (default PIC18F452 PIC18F4550)
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "tools/doctor/operation_estimate.h"

namespace quillon::bench {
namespace {

int times_of(const char* model) {
    AppState state;
    if (!select_supplied_model(state, model)) {
        std::fprintf(stderr, "%s is not in %s\n", model, supplied_device_file().c_str());
        return 2;
    }
    const OperationCounts ftdi = count_operations_on_ftdi(state);
    const OperationCounts usb = count_operations(state, typical_usb_cost());
    const OperationCounts uart = count_operations(state, typical_uart_cost());
    for (const OperationCounts* counts : {&ftdi, &usb, &uart}) {
        if (!counts->unavailable.empty()) {
            std::fprintf(stderr, "%s: %s\n", model, counts->unavailable.c_str());
            return 1;
        }
    }
    for (std::size_t i = 0; i < ftdi.operations.size(); ++i) {
        const OperationCount& fast = ftdi.operations[i];
        const double fast_s = std::chrono::duration<double>(estimated_time(fast, {})).count();
        const double usb_s =
            std::chrono::duration<double>(estimated_time(usb.operations[i], typical_usb_cost())).count();
        const double uart_s =
            std::chrono::duration<double>(estimated_time(uart.operations[i], typical_uart_cost())).count();
        std::printf("%-11s %-8s %9.1f s %9lld %10s %10s %9.0fx %8.2fx\n", model,
                    operation_name(fast.operation), fast_s, static_cast<long long>(fast.round_trips),
                    run_time_text(estimated_time(usb.operations[i], typical_usb_cost())).c_str(),
                    run_time_text(estimated_time(uart.operations[i], typical_uart_cost())).c_str(),
                    usb_s / fast_s, fast_s / uart_s);
    }
    return 0;
}

}  // namespace
}  // namespace quillon::bench

int main(int argc, char** argv) {
    std::vector<const char*> models(argv + 1, argv + argc);
    if (models.empty()) models = {"PIC18F452", "PIC18F4550"};
    std::printf("%-11s %-8s %11s %9s %10s %10s %10s %9s\n", "Model", "Op", "FTDI", "trips", "USB 1 ms",
                "UART 5 us", "USB/FTDI", "FTDI/UART");
    int status = 0;
    for (const char* model : models)
        status = std::max(status, quillon::bench::times_of(model));
    return status;
}

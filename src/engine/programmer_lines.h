#pragma once

#include <chrono>
#include <cstdint>

#include "base/clock.h"
#include "base/host.h"
#include "base/programmer_port.h"
#include "model/app_state.h"

namespace quillon {

// The programmer's signals on the port lines and the ICSP primitives built from them. Every line
// change is a yield point of the host, as the board is driven from the user-interface thread.
// Once the port has failed, the primitives stop at the end of the frame or phase in progress (the
// port drops what reaches it meanwhile), reads give 0, and the caller learns of it through
// failed().
class ProgrammerLines {
  public:
    ProgrammerLines(ProgrammerPort& port, Host& host, Clock& clock)
        : port_(port), host_(host), clock_(clock) {}

    // Line operations.
    void toggle_vdd_vpp();  // one byte of value 1 on TD flips the board's VDD/VPP supply
    void clock_high();      // RTS asserted
    void clock_low();       // RTS not asserted
    void data_high();       // DTR asserted
    void data_low();        // DTR not asserted
    int read_data_in();     // 1 when two reads of DSR both see it asserted
    // The breath between two frames. The chip needs 40 ns there (P5, P5A), which the line changes
    // around it give on any port many times over, so it does no work of its own.
    void short_pause() {}

    // ICSP primitives. Out-of-range commands or operands clock nothing (a read of one gives 0).
    void send_command(int command, std::int32_t operand);
    int read_byte(int command);
    // Command 0000 with a NOP operand whose fourth clock stays high for `hold`; then the clock
    // stays low for `discharge` (P10) before the operand clocks. Both are measured on the clock
    // from the line change itself, so they hold on a port of any speed.
    void programming_pulse(std::chrono::nanoseconds hold, std::chrono::nanoseconds discharge);
    void programming_pulse(std::int32_t prog_time_ms) {
        programming_pulse(std::chrono::milliseconds(prog_time_ms), kSafeDischarge);
    }
    // The longest P10 of the PIC18 families, for a model that names none.
    static constexpr std::chrono::microseconds kSafeDischarge{100};
    void power_up(std::int32_t voltage_sequence);
    void power_down();

    bool failed() const { return port_.failed(); }
    ProgrammerPort& port() { return port_; }
    Host& host() { return host_; }
    Clock& clock() { return clock_; }

  private:
    void change_clock(bool high);
    void change_data(bool high);
    void clock_bit(bool bit);
    void clock_pulse();
    void clock_bits(std::uint32_t value, int count);  // `count` bits of `value`, bit 0 first

    ProgrammerPort& port_;
    Host& host_;
    Clock& clock_;
};

// Splits a chip address into the bytes that the address-loading instructions send.
void split_address(AddressBytes& bytes, std::int32_t address);

}  // namespace quillon

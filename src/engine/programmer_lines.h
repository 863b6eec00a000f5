#pragma once

#include <cstdint>

#include "engine/clock.h"
#include "engine/host.h"
#include "port/programmer_port.h"
#include "startup/app_state.h"

namespace quillon {

// The programmer's signals on the port lines and the ICSP primitives built from them. Every line
// change lets the host's window events run, as the board is driven from the user-interface thread.
// Once the port has failed, nothing touches it any more: changes are dropped and reads give 0, and
// the caller learns of it through failed().
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
    void short_pause();     // a moment of busy work between frames; no sleep, no yield

    // ICSP primitives. Out-of-range commands or operands clock nothing (a read of one gives 0).
    void send_command(int command, std::int32_t operand);
    int read_byte(int command);
    void programming_pulse(std::int32_t prog_time_ms);
    void power_up(std::int32_t voltage_sequence);
    void power_down();

    bool failed() const { return port_.failed(); }
    ProgrammerPort& port() { return port_; }
    Host& host() { return host_; }
    Clock& clock() { return clock_; }

  private:
    void clock_bit(bool bit);
    void clock_pulse();

    ProgrammerPort& port_;
    Host& host_;
    Clock& clock_;
};

// Splits a chip address into the bytes that the address-loading instructions send.
void split_address(AddressBytes& bytes, std::int32_t address);

}  // namespace quillon

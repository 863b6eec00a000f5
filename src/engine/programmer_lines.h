#pragma once

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
//
// On a port that sends in blocks (ProgrammerPort::line_batch) the primitives mark where their
// frames end, ask for the DSR reads of a byte inside its frame and take them after it, and send
// what is held before every wait, so the chip's waits count from the change before them. The
// single line operations send at once there, as they are used by hand.
class ProgrammerLines {
  public:
    ProgrammerLines(ProgrammerPort& port, Host& host, Clock& clock)
        : port_(port), host_(host), clock_(clock), batch_(port.line_batch()) {}
    // Sends what a batching port still holds.
    ~ProgrammerLines();
    ProgrammerLines(const ProgrammerLines&) = delete;
    ProgrammerLines& operator=(const ProgrammerLines&) = delete;

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
    void programming_pulse(std::int32_t prog_time_ms);
    void power_up(std::int32_t voltage_sequence);
    void power_down();
    // A wait of the chip: the lines held so far reach the board first.
    void wait_ms(std::int64_t milliseconds);
    // Sends what a batching port holds; nothing to do on any other port.
    void flush();

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
    int read_bits_in_batch();
    void end_frame();

    ProgrammerPort& port_;
    Host& host_;
    Clock& clock_;
    LineBatch* batch_;
};

// Splits a chip address into the bytes that the address-loading instructions send.
void split_address(AddressBytes& bytes, std::int32_t address);

}  // namespace quillon

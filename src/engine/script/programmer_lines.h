#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>

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
// frames end, ask for the DSR reads of a byte inside its frame, and send what is held before every
// wait, so the chip's waits count from the change before them. A byte read there may arrive later
// (read_byte_later): its value reaches its receiver when the transfer that carried it is back,
// at deliver_reads() or settle_reads(), in the order of the reads. The single line operations send
// at once there, as they are used by hand.
class ProgrammerLines {
  public:
    ProgrammerLines(ProgrammerPort& port, Host& host, Clock& clock)
        : port_(port), host_(host), clock_(clock), batch_(port.line_batch()) {}
    // Sends what a batching port still holds; reads not yet delivered are dropped.
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
    // read_byte whose value `deliver` gets once it is known: at once on a port that sends each
    // change as it comes, later on a batching port. Values come in the order of the reads.
    void read_byte_later(int command, std::function<void(int)> deliver);
    // Runs `then` once every read asked for before it has been delivered; at once when none waits.
    void after_reads(std::function<void()> then);
    // Delivers the reads that have come back, and what waits on them, without sending anything.
    void deliver_reads();
    // Sends what the port holds and delivers every read (0 for those a failed port lost).
    void settle_reads();
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
    bool clock_read_command(int command);
    void end_frame();
    void collect_reads();

    // A read waiting for its value, or a step waiting for the reads before it.
    struct Pending {
        std::function<void(int)> deliver;  // a read
        std::function<void()> then;        // or what follows the reads
        int value = 0;
        bool ready = false;
    };

    ProgrammerPort& port_;
    Host& host_;
    Clock& clock_;
    LineBatch* batch_;
    std::deque<Pending> pending_;
};

// Splits a chip address into the bytes that the address-loading instructions send.
void split_address(AddressBytes& bytes, std::int32_t address);

}  // namespace quillon

#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// The four lines of the serial port that drive the programmer board, and nothing else:
// DTR carries DATA OUT, RTS carries CLOCK, DSR reads DATA IN, and a byte of value 1 on TD
// toggles the board's VDD/VPP supply.
class ProgrammerPort {
  public:
    virtual ~ProgrammerPort() = default;

    virtual void set_dtr(bool asserted) = 0;
    virtual void set_rts(bool asserted) = 0;
    virtual bool read_dsr() = 0;
    // Sends one byte on TD; it has left the machine when the call returns.
    virtual void write_byte(std::uint8_t value) = 0;

    // True once the port stopped working (a USB adapter unplugged, a device error); it stays true.
    // From then on the port drops every change and reads DSR as not asserted. The line primitives
    // rely on that: they ask between frames, not at every change.
    virtual bool failed() const = 0;
    // What went wrong, for messages; empty while the port works.
    virtual std::string failure_text() const { return {}; }
};

}  // namespace quillon

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

class LineBatch;

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

    // A port that holds line changes back and sends them in blocks (a USB bit-bang adapter, where
    // every transfer costs a millisecond whatever it carries) returns its LineBatch. Every other
    // port returns null and makes each change when it is called.
    virtual LineBatch* line_batch() { return nullptr; }
};

// How the line primitives drive a port that sends in blocks. Line changes made through the port
// are held in order; the port sends them when it must (its buffer is full, or flush()), and the
// levels of the DSR reads asked for among them come back with the transfer that carried them.
// read_dsr() of such a port still answers at once, at the cost of a transfer.
class LineBatch {
  public:
    virtual ~LineBatch() = default;

    // A frame ends here: a block may end at this point without cutting a frame in two.
    virtual void end_frame() = 0;
    // Asks for a read of DSR at this point of the line sequence, after the changes made so far.
    virtual void sample_dsr() = 0;
    // How many of the reads asked for have come back and not been taken yet.
    virtual std::size_t samples_ready() const = 0;
    // The level of the oldest of them: true when DSR was asserted.
    virtual bool take_sample() = 0;
    // Sends everything held and returns once it has reached the board. The primitives call it
    // before every wait, so that a wait is counted from the line change before it.
    virtual void flush() = 0;
    // Holds the lines as they are for at least `duration`, as part of the block, when the port can
    // time that itself (a run of repeated states at its own pace); false when the caller must send
    // and wait on the clock instead.
    virtual bool hold_within_block(std::chrono::nanoseconds duration) = 0;
};

}  // namespace quillon

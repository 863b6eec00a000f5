#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/bitbang_adapter.h"
#include "base/programmer_port.h"
#include "base/result.h"

namespace quillon {

// The programmer board on the DB9 of an FTDI USB serial adapter (FT232R, FT231X, FT232H, FT2232),
// driven in synchronous bit-bang mode: every line change is one pin state, and a whole run of them
// goes out in one USB transfer instead of one transfer per change. The board's lines sit on the
// adapter's UART pins (FT232R data sheet, bit-bang pin map):
//
//   D0 TXD   output  TD: the supply toggle byte, sent as its UART waveform
//   D2 RTS#  output  CLOCK
//   D4 DTR#  output  DATA OUT
//   D5 DSR#  input   DATA IN
//
// The UART pins are active low and the adapter's RS-232 transceiver inverts them again, so a
// line asserted on the DB9 is a 0 bit on its pin, and TXD idles at 1 (mark).
//
// The byte on TD is sent as the same waveform on D0, at the port's baud rate (start bit, eight
// data bits from bit 0, stop bit), rather than by leaving bit-bang mode for a real UART byte:
// the chip stays in one mode, CLOCK and DATA OUT are carried by the same pin states and cannot
// glitch while the supply switches, and the waveform goes out in one transfer. The pin rate is
// therefore a whole multiple of the baud rate.
//
// Held states are sent when the chip's receive buffer would overflow (never cutting a frame that
// fits, so a byte's reads come back in the transfer of its own frame), and before every wait or
// when the line primitives need a read (LineBatch). A DSR read is one more state of the same
// levels, whose sample is the pins after the change before it.
class FtdiProgrammerPort final : public ProgrammerPort, public LineBatch {
  public:
    static constexpr std::uint8_t kTxd = 0x01;
    static constexpr std::uint8_t kRts = 0x04;
    static constexpr std::uint8_t kDtr = 0x10;
    static constexpr std::uint8_t kDsr = 0x20;
    static constexpr std::uint8_t kOutputs = kTxd | kRts | kDtr;
    // Pin states per second at most: well inside every FTDI chip's synchronous bit-bang range, and
    // slow enough for the chip's 100 ns data setup and clock widths.
    static constexpr int kMaxStateRate = 1'000'000;

    // `baud`: the port's baud rate, at which the byte on TD is sent.
    FtdiProgrammerPort(std::unique_ptr<BitBangAdapter> adapter, int baud);
    // Sends what is held and returns the adapter to its UART.
    ~FtdiProgrammerPort() override;
    FtdiProgrammerPort(const FtdiProgrammerPort&) = delete;
    FtdiProgrammerPort& operator=(const FtdiProgrammerPort&) = delete;

    // Sets the latency timer to 1 ms, synchronous bit-bang with TXD, RTS# and DTR# as outputs and
    // the pin rate, and puts out every line released. Fails with why the adapter did not take it
    // all (the port has then failed).
    Result<> start();

    void set_dtr(bool asserted) override;
    void set_rts(bool asserted) override;
    bool read_dsr() override;
    void write_byte(std::uint8_t value) override;
    bool failed() const override { return failed_; }
    std::string failure_text() const override { return failure_; }
    LineBatch* line_batch() override { return this; }

    void end_frame() override;
    void sample_dsr() override;
    std::size_t samples_ready() const override { return arrived_.size(); }
    bool take_sample() override;
    void flush() override;
    // Short holds (the chip's P10) are repeated states, clocked out by the adapter at its pin rate.
    bool hold_within_block(std::chrono::nanoseconds duration) override;

    int state_rate() const { return states_per_bit_ * baud_; }
    int states_per_bit() const { return states_per_bit_; }
    std::int64_t transfers() const { return transfers_; }

  private:
    void set_pin(std::uint8_t pin, bool level);
    void append(std::uint8_t state);
    void send(std::size_t count);
    void fail(const std::string& what);

    std::unique_ptr<BitBangAdapter> adapter_;
    int baud_;
    std::size_t fifo_;
    int states_per_bit_;
    std::uint8_t pins_ = kOutputs;        // every line released, TXD idle
    std::vector<std::uint8_t> pending_;   // states not sent yet
    std::size_t frame_end_ = 0;           // pending_ holds whole frames up to here
    std::vector<std::size_t> wanted_;     // positions in pending_ whose sample is a DSR read
    std::vector<std::uint8_t> received_;  // samples of the last transfer
    std::deque<bool> arrived_;            // levels of DSR reads sent and not taken yet
    std::int64_t transfers_ = 0;
    bool failed_ = false;
    std::string failure_;
};

}  // namespace quillon

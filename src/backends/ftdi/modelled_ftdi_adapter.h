#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

#include "base/bitbang_adapter.h"
#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

// An FTDI USB serial adapter without hardware, with the programmer board on its DB9: the chip in
// synchronous bit-bang mode and the time its USB takes, in front of any programmer port (the
// simulated board, or a trace or recording port in front of it), on a fake clock.
//
// Each state written is put on the pins one tick of the rate after the one before, and the board
// sees the line changes it makes, with the FT232R pin map and the polarity of the UART pins
// behind an RS-232 transceiver: DTR on D4 and RTS on D2 asserted by a 0 bit, DSR on D5 read as
// 0 while asserted. D0 (TXD) goes through a UART receiver at the port's baud rate: a whole byte
// with its stop bit becomes one byte on TD, anything else a framing error. Every state gets its
// sample: the pins as they were just before that state went out.
//
// The USB: a round trip (the states written, then their samples read back) costs the latency
// timer (1 ms at 1) on top of the states' own time; no more states than the receive buffer holds
// may be in flight, or the write stalls and fails.
class ModelledFtdiAdapter final : public BitBangAdapter {
  public:
    static constexpr int kFt232rFifo = 128;

    ModelledFtdiAdapter(ProgrammerPort& board, FakeClock& clock, int uart_baud, int fifo = kFt232rFifo)
        : board_(board), clock_(clock), uart_baud_(uart_baud), fifo_(fifo) {}

    int set_latency_timer(std::uint8_t milliseconds) override;
    int set_bitmode(std::uint8_t output_mask, Mode mode) override;
    int set_baudrate(int rate) override;
    int purge_buffers() override;
    int write_data(const std::uint8_t* data, int size) override;
    int read_data(std::uint8_t* data, int size) override;
    std::string error_text() const override { return error_; }
    int fifo_size() const override { return fifo_; }

    // After this many more writes every call fails, as an adapter pulled out; negative never.
    void fail_after_writes(std::int64_t writes) { fail_at_ = writes < 0 ? -1 : writes_ + writes; }

    std::int64_t round_trips() const { return round_trips_; }
    std::int64_t states() const { return states_; }
    std::int64_t framing_errors() const { return framing_errors_; }
    int latency_ms() const { return latency_ms_; }
    int rate() const { return rate_; }

  private:
    int refuse(std::string text);
    void put_state(std::uint8_t state);
    void receive_txd(std::chrono::nanoseconds now, bool level);
    std::uint8_t sample_pins();

    ProgrammerPort& board_;
    FakeClock& clock_;
    int uart_baud_;
    int fifo_;
    int latency_ms_ = 16;  // the chip's own default
    int rate_ = 0;
    bool bit_bang_ = false;
    std::uint8_t mask_ = 0;
    std::uint8_t pins_ = 0xFF;  // outputs as driven
    std::deque<std::uint8_t> unread_;
    bool round_trip_open_ = false;
    std::int64_t tick_remainder_ = 0;  // nanoseconds times the rate, so that ticks do not drift
    std::int64_t writes_ = 0;
    std::int64_t fail_at_ = -1;
    std::int64_t round_trips_ = 0;
    std::int64_t states_ = 0;
    std::string error_;

    // The UART receiver on TXD.
    bool txd_ = true;
    bool receiving_ = false;
    std::chrono::nanoseconds byte_start_{0};
    int bits_taken_ = 0;
    int byte_ = 0;
    std::int64_t framing_errors_ = 0;
};

}  // namespace quillon

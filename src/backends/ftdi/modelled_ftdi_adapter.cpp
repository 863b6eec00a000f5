#include "backends/ftdi/modelled_ftdi_adapter.h"

#include <algorithm>

namespace quillon {

namespace {

// The FT232R's bit-bang pins, as the board's DB9 lines reach them.
constexpr std::uint8_t kTxdPin = 0x01;  // D0
constexpr std::uint8_t kRtsPin = 0x04;  // D2, RTS#
constexpr std::uint8_t kDtrPin = 0x10;  // D4, DTR#
constexpr std::uint8_t kDsrPin = 0x20;  // D5, DSR#
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

}  // namespace

int ModelledFtdiAdapter::refuse(std::string text) {
    error_ = std::move(text);
    return -1;
}

int ModelledFtdiAdapter::set_latency_timer(std::uint8_t milliseconds) {
    if (milliseconds == 0) return refuse("latency timer 0 is out of range");
    latency_ms_ = milliseconds;
    return 0;
}

int ModelledFtdiAdapter::set_bitmode(std::uint8_t output_mask, Mode mode) {
    switch (mode) {
        case Mode::SyncBitBang:
            bit_bang_ = true;
            mask_ = output_mask;
            return 0;
        case Mode::Reset:
            bit_bang_ = false;
            return 0;
    }
    return refuse("unknown bit mode");
}

int ModelledFtdiAdapter::set_baudrate(int rate) {
    if (rate <= 0) return refuse("invalid rate");
    rate_ = rate;
    return 0;
}

int ModelledFtdiAdapter::purge_buffers() {
    unread_.clear();
    round_trip_open_ = false;
    return 0;
}

std::uint8_t ModelledFtdiAdapter::sample_pins() {
    // Inputs idle high (the UART pins' pull-ups, every RS-232 input at mark or not asserted); DSR#
    // is low while the board asserts DSR.
    std::uint8_t inputs = 0xFF;
    if (board_.read_dsr()) inputs = static_cast<std::uint8_t>(inputs & ~kDsrPin);
    return static_cast<std::uint8_t>((pins_ & mask_) | (inputs & ~mask_));
}

// Bits are taken in the middle of each bit time after the start edge, from the level that held
// there; a gap between two transfers holds the level, so a byte cut by one comes out wrong.
void ModelledFtdiAdapter::receive_txd(std::chrono::nanoseconds now, bool level) {
    while (receiving_) {
        const std::chrono::nanoseconds centre =
            byte_start_ +
            std::chrono::nanoseconds((2 * bits_taken_ + 1) * kNanosecondsPerSecond / (2 * uart_baud_));
        if (centre >= now) break;
        if (bits_taken_ == 0) {
            if (txd_) receiving_ = false;  // a start bit shorter than half a bit is noise
        } else if (bits_taken_ <= 8) {
            if (txd_) byte_ |= 1 << (bits_taken_ - 1);
        } else {
            receiving_ = false;
            if (txd_) {
                board_.write_byte(static_cast<std::uint8_t>(byte_));
            } else {
                ++framing_errors_;
            }
        }
        ++bits_taken_;
    }
    if (!receiving_ && txd_ && !level) {
        receiving_ = true;
        byte_start_ = now;
        bits_taken_ = 0;
        byte_ = 0;
    }
    txd_ = level;
}

void ModelledFtdiAdapter::put_state(std::uint8_t state) {
    unread_.push_back(sample_pins());
    const auto changed = static_cast<std::uint8_t>((state ^ pins_) & mask_);
    pins_ = static_cast<std::uint8_t>((state & mask_) | (pins_ & ~mask_));
    if ((changed & kDtrPin) != 0) board_.set_dtr((state & kDtrPin) == 0);
    if ((changed & kRtsPin) != 0) board_.set_rts((state & kRtsPin) == 0);
    if ((mask_ & kTxdPin) != 0) receive_txd(clock_.now(), (state & kTxdPin) != 0);
    ++states_;
    tick_remainder_ += kNanosecondsPerSecond;
    const std::int64_t whole = tick_remainder_ / rate_;
    tick_remainder_ -= whole * rate_;
    clock_.advance(std::chrono::nanoseconds(whole));
}

int ModelledFtdiAdapter::write_data(const std::uint8_t* data, int size) {
    if (fail_at_ >= 0 && writes_ >= fail_at_) return refuse("USB device unavailable");
    ++writes_;
    if (!bit_bang_ || rate_ <= 0) return refuse("not in synchronous bit-bang mode with a rate");
    if (size < 0) return refuse("negative size");
    if (unread_.size() + static_cast<std::size_t>(size) > static_cast<std::size_t>(fifo_)) {
        return refuse("write stalled: " + std::to_string(unread_.size() + static_cast<std::size_t>(size)) +
                      " states in flight, the receive buffer holds " + std::to_string(fifo_));
    }
    if (size > 0) round_trip_open_ = true;
    for (int i = 0; i < size; ++i)
        put_state(data[i]);
    return size;
}

int ModelledFtdiAdapter::read_data(std::uint8_t* data, int size) {
    if (fail_at_ >= 0 && writes_ >= fail_at_) return refuse("USB device unavailable");
    if (round_trip_open_) {
        // The samples come back when the latency timer runs out after the last state.
        clock_.sleep_ms(latency_ms_);
        round_trip_open_ = false;
        ++round_trips_;
    }
    const int count = std::min(size, static_cast<int>(unread_.size()));
    for (int i = 0; i < count; ++i) {
        data[i] = unread_.front();
        unread_.pop_front();
    }
    return count;
}

}  // namespace quillon

#include "backends/ftdi/ftdi_programmer_port.h"

#include <algorithm>

namespace quillon {

namespace {

// Reads that bring nothing back before the adapter counts as gone: with the latency timer at 1 ms
// an empty read takes about a millisecond, so this is about a second of silence.
constexpr int kMaxEmptyReads = 1000;
// A UART frame: start bit, eight data bits, stop bit.
constexpr int kUartBits = 10;

}  // namespace

FtdiProgrammerPort::FtdiProgrammerPort(std::unique_ptr<BitBangAdapter> adapter, int baud)
    : adapter_(std::move(adapter)), baud_(std::max(baud, 1)) {
    fifo_ = static_cast<std::size_t>(std::max(adapter_->fifo_size(), kUartBits + 2));
    // The TD waveform goes out in one transfer, so that no gap stretches one of its bits.
    const int fitting = static_cast<int>(fifo_ - 2) / kUartBits;
    states_per_bit_ = std::clamp(kMaxStateRate / baud_, 1, fitting);
    pending_.reserve(fifo_);
    received_.reserve(fifo_);
}

FtdiProgrammerPort::~FtdiProgrammerPort() {
    if (failed_) return;
    flush();
    adapter_->set_bitmode(0, BitBangAdapter::Mode::Reset);
}

void FtdiProgrammerPort::fail(const std::string& what) {
    if (failed_) return;
    failed_ = true;
    failure_ = "the FTDI adapter " + what;
    if (const std::string detail = adapter_->error_text(); !detail.empty()) failure_ += " (" + detail + ")";
    pending_.clear();
    wanted_.clear();
    arrived_.clear();
    frame_end_ = 0;
}

Result<> FtdiProgrammerPort::start() {
    if (adapter_->set_latency_timer(1) < 0) {
        fail("refused the latency timer");
    } else if (adapter_->set_bitmode(kOutputs, BitBangAdapter::Mode::SyncBitBang) < 0) {
        fail("refused synchronous bit-bang mode");
    } else if (adapter_->set_baudrate(state_rate()) < 0) {
        fail("refused the pin rate of " + std::to_string(state_rate()) + " states per second");
    } else if (adapter_->purge_buffers() < 0) {
        fail("could not empty its buffers");
    } else {
        pending_.push_back(pins_);
        flush();
    }
    if (failed_) return failure(Error{failure_});
    return {};
}

void FtdiProgrammerPort::set_pin(std::uint8_t pin, bool level) {
    if (failed_) return;
    const auto pins = static_cast<std::uint8_t>(level ? pins_ | pin : pins_ & ~pin);
    if (pins == pins_) return;  // the same waveform: no state needed
    pins_ = pins;
    append(pins_);
}

// An asserted line is a 0 bit on its pin.
void FtdiProgrammerPort::set_dtr(bool asserted) {
    set_pin(kDtr, !asserted);
}

void FtdiProgrammerPort::set_rts(bool asserted) {
    set_pin(kRts, !asserted);
}

void FtdiProgrammerPort::append(std::uint8_t state) {
    if (pending_.size() >= fifo_) send(frame_end_ > 0 ? frame_end_ : pending_.size());
    if (!failed_) pending_.push_back(state);
}

void FtdiProgrammerPort::end_frame() {
    frame_end_ = pending_.size();
}

void FtdiProgrammerPort::sample_dsr() {
    if (failed_) return;
    append(pins_);
    if (!failed_) wanted_.push_back(pending_.size() - 1);
}

bool FtdiProgrammerPort::take_sample() {
    if (arrived_.empty()) return false;
    const bool asserted = arrived_.front();
    arrived_.pop_front();
    return asserted;
}

void FtdiProgrammerPort::flush() {
    send(pending_.size());
}

// A hold of at most three quarters of the receive buffer goes out with the states around it, one more state
// than the pin rate needs; a longer one is a wait between transfers.
bool FtdiProgrammerPort::hold_within_block(std::chrono::nanoseconds duration) {
    if (failed_) return true;
    const std::int64_t rate = state_rate();
    const std::int64_t states = (duration.count() * rate + 999'999'999) / 1'000'000'000 + 1;
    if (states > static_cast<std::int64_t>(fifo_ * 3 / 4)) return false;
    for (std::int64_t i = 0; i < states && !failed_; ++i)
        append(pins_);
    return true;
}

// The newest sample is this read's; older ones stay for the reads that asked for them.
bool FtdiProgrammerPort::read_dsr() {
    sample_dsr();
    flush();
    if (failed_ || arrived_.empty()) return false;
    const bool asserted = arrived_.back();
    arrived_.pop_back();
    return asserted;
}

void FtdiProgrammerPort::write_byte(std::uint8_t value) {
    if (failed_) return;
    end_frame();
    const std::size_t length = static_cast<std::size_t>(kUartBits * states_per_bit_);
    if (pending_.size() + length > fifo_) flush();
    if (failed_) return;
    const auto put_bit = [this](bool level) {
        pins_ = static_cast<std::uint8_t>(level ? pins_ | kTxd : pins_ & ~kTxd);
        pending_.insert(pending_.end(), static_cast<std::size_t>(states_per_bit_), pins_);
    };
    put_bit(false);
    for (int bit = 0; bit < 8; ++bit)
        put_bit(((value >> bit) & 1) != 0);
    put_bit(true);
    end_frame();
}

// Writes the first `count` held states, reads back their samples and keeps the DSR reads among
// them.
void FtdiProgrammerPort::send(std::size_t count) {
    if (failed_ || count == 0) return;
    const int size = static_cast<int>(count);
    for (int written = 0; written < size;) {
        const int n = adapter_->write_data(pending_.data() + written, size - written);
        if (n <= 0) return fail("took no more pin states");
        written += n;
    }
    received_.resize(count);
    for (int got = 0, empty = 0; got < size;) {
        const int n = adapter_->read_data(received_.data() + got, size - got);
        if (n < 0) return fail("stopped answering");
        if (n == 0 && ++empty > kMaxEmptyReads) return fail("sent back no pin samples");
        got += n;
    }
    ++transfers_;
    std::size_t kept = 0;
    for (const std::size_t position : wanted_) {
        if (position < count) {
            arrived_.push_back((received_[position] & kDsr) == 0);
        } else {
            wanted_[kept++] = position - count;
        }
    }
    wanted_.resize(kept);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    frame_end_ = frame_end_ > count ? frame_end_ - count : 0;
}

}  // namespace quillon

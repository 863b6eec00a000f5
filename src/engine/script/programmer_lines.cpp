#include "engine/script/programmer_lines.h"

namespace quillon {

namespace {

constexpr int kPowerSettleMs = 50;

}  // namespace

// The changes inside a frame, each followed by its yield point. They do not ask the port whether
// it still works: a port that has failed drops every later change and reads false by itself
// (ProgrammerPort), so the primitives look once per frame and phase, and stop there. On a fast port
// a look at every change would cost as much as the change.
inline void ProgrammerLines::change_clock(bool high) {
    port_.set_rts(high);
    host_.yield_point();
}

inline void ProgrammerLines::change_data(bool high) {
    port_.set_dtr(high);
    host_.yield_point();
}

// Reads still waiting go unanswered: their receivers may be gone, and a run that ended normally
// has settled them.
ProgrammerLines::~ProgrammerLines() {
    pending_.clear();
    flush();
}

void ProgrammerLines::flush() {
    if (batch_ != nullptr && !port_.failed()) batch_->flush();
}

inline void ProgrammerLines::end_frame() {
    if (batch_ != nullptr) batch_->end_frame();
}

void ProgrammerLines::wait_ms(std::int64_t milliseconds) {
    flush();
    clock_.sleep_ms(milliseconds);
}

// The single line operations are also driven by hand (the hardware check), where a change must
// show on the board at once.
void ProgrammerLines::toggle_vdd_vpp() {
    if (port_.failed()) return;
    port_.write_byte(1);
    flush();
    host_.yield_point();
}

void ProgrammerLines::clock_high() {
    if (port_.failed()) return;
    change_clock(true);
    flush();
}

void ProgrammerLines::clock_low() {
    if (port_.failed()) return;
    change_clock(false);
    flush();
}

void ProgrammerLines::data_high() {
    if (port_.failed()) return;
    change_data(true);
    flush();
}

void ProgrammerLines::data_low() {
    if (port_.failed()) return;
    change_data(false);
    flush();
}

int ProgrammerLines::read_data_in() {
    if (port_.failed()) return 0;
    host_.yield_point();
    // Two agreeing reads filter a glitch on a slow or noisy DATA IN line.
    const bool first = port_.read_dsr();
    const bool second = port_.read_dsr();
    return first && second && !port_.failed() ? 1 : 0;
}

// The data bit goes to DTR as it is: a branch on it would be mispredicted on every other bit of
// real data.
inline void ProgrammerLines::clock_bit(bool bit) {
    change_clock(true);
    change_data(bit);
    change_clock(false);
}

inline void ProgrammerLines::clock_pulse() {
    change_clock(true);
    change_clock(false);
}

inline void ProgrammerLines::clock_bits(std::uint32_t value, int count) {
    for (int bit = 0; bit < count; ++bit)
        clock_bit(((value >> bit) & 1U) != 0);
}

void ProgrammerLines::send_command(int command, std::int32_t operand) {
    if (command < 0 || command > 15 || operand < 0 || operand > 0xFFFF) return;
    if (port_.failed()) return;
    clock_bits(static_cast<std::uint32_t>(command), 4);
    change_data(false);
    short_pause();
    if (port_.failed()) return;
    clock_bits(static_cast<std::uint32_t>(operand), 16);
    change_data(false);
    short_pause();
    end_frame();
}

// The command and the eight clocks before the chip's data; false when nothing is to be clocked.
bool ProgrammerLines::clock_read_command(int command) {
    if (command < 0 || command > 15) return false;
    if (port_.failed()) return false;
    clock_bits(static_cast<std::uint32_t>(command), 4);
    change_data(false);
    short_pause();
    if (port_.failed()) return false;
    for (int i = 0; i < 8; ++i)
        clock_pulse();  // the chip ignores these eight bits
    short_pause();
    change_data(true);
    return true;
}

int ProgrammerLines::read_byte(int command) {
    if (batch_ != nullptr) {
        int value = 0;
        read_byte_later(command, [&value](int read) { value = read; });
        settle_reads();
        return value;
    }
    if (!clock_read_command(command)) return 0;
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        change_clock(true);
        value |= read_data_in() << bit;  // 0 once the port has failed
        change_clock(false);
    }
    change_data(false);
    short_pause();
    return value;
}

// On a batching port the two reads of each bit are asked for while CLOCK is high, as
// read_data_in makes them, and come back with the frame.
void ProgrammerLines::read_byte_later(int command, std::function<void(int)> deliver) {
    if (batch_ == nullptr) {
        deliver(read_byte(command));
        return;
    }
    if (!clock_read_command(command)) {
        pending_.push_back({std::move(deliver), {}, 0, true});
        return;
    }
    for (int bit = 0; bit < 8; ++bit) {
        change_clock(true);
        host_.yield_point();
        batch_->sample_dsr();
        batch_->sample_dsr();
        change_clock(false);
    }
    change_data(false);
    short_pause();
    end_frame();
    pending_.push_back({std::move(deliver), {}, 0, false});
}

void ProgrammerLines::after_reads(std::function<void()> then) {
    if (pending_.empty()) {
        then();
        return;
    }
    pending_.push_back({{}, std::move(then), 0, true});
}

void ProgrammerLines::collect_reads() {
    for (Pending& read : pending_) {
        if (read.ready) continue;
        if (batch_->samples_ready() < 16) return;
        int value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const bool first = batch_->take_sample();
            const bool second = batch_->take_sample();
            if (first && second) value |= 1 << bit;
        }
        read.value = value;
        read.ready = true;
    }
}

void ProgrammerLines::deliver_reads() {
    if (pending_.empty()) return;
    collect_reads();
    while (!pending_.empty() && pending_.front().ready) {
        Pending next = std::move(pending_.front());
        pending_.pop_front();
        if (next.deliver) {
            next.deliver(port_.failed() ? 0 : next.value);
        } else {
            next.then();
        }
    }
}

void ProgrammerLines::settle_reads() {
    if (pending_.empty()) return;
    flush();
    collect_reads();
    // A failed port brings no more samples: its reads give 0, as they do on any port.
    for (Pending& read : pending_)
        read.ready = true;
    deliver_reads();
}

// Command 0000 with a NOP operand, its fourth clock held high for the pulse. On a batching port
// each hold starts once what came before it has reached the board.
void ProgrammerLines::programming_pulse(std::chrono::nanoseconds hold, std::chrono::nanoseconds discharge) {
    if (!port_.failed()) {
        change_data(false);
        for (int i = 0; i < 3; ++i)
            clock_pulse();
        change_clock(true);
    }
    flush();
    clock_.wait_until(clock_.now() + hold);
    if (port_.failed()) return;
    change_clock(false);
    if (batch_ == nullptr || !batch_->hold_within_block(discharge)) {
        flush();
        clock_.wait_until(clock_.now() + discharge);
    }
    for (int i = 0; i < 16; ++i)
        clock_pulse();
    short_pause();
    end_frame();
}

void ProgrammerLines::power_up(std::int32_t voltage_sequence) {
    if (voltage_sequence == 1) {
        toggle_vdd_vpp();
        wait_ms(kPowerSettleMs);
        host_.yield();
        wait_ms(kPowerSettleMs);
    } else if (voltage_sequence == 2) {
        host_.yield();
        wait_ms(kPowerSettleMs);
        toggle_vdd_vpp();
        wait_ms(kPowerSettleMs);
    }
}

void ProgrammerLines::power_down() {
    toggle_vdd_vpp();
    wait_ms(kPowerSettleMs);
    host_.yield();
    wait_ms(kPowerSettleMs);
}

void split_address(AddressBytes& bytes, std::int32_t address) {
    bytes.address_upper = address / 65536;
    bytes.address_high = (address % 65536) / 256;
    bytes.address_low = address % 256;
}

}  // namespace quillon

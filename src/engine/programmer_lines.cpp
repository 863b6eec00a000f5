#include "engine/programmer_lines.h"

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

ProgrammerLines::~ProgrammerLines() {
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

int ProgrammerLines::read_byte(int command) {
    if (command < 0 || command > 15) return 0;
    if (port_.failed()) return 0;
    clock_bits(static_cast<std::uint32_t>(command), 4);
    change_data(false);
    short_pause();
    if (port_.failed()) return 0;
    for (int i = 0; i < 8; ++i)
        clock_pulse();  // the chip ignores these eight bits
    short_pause();
    change_data(true);
    if (batch_ != nullptr) return read_bits_in_batch();
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

// The data phase of read_byte on a batching port: the two reads of each bit are asked for while
// CLOCK is high, as read_data_in makes them, and arrive with the frame.
int ProgrammerLines::read_bits_in_batch() {
    for (int bit = 0; bit < 8; ++bit) {
        change_clock(true);
        host_.yield_point();
        batch_->sample_dsr();
        batch_->sample_dsr();
        change_clock(false);
    }
    change_data(false);
    short_pause();
    const std::uint32_t samples = batch_->take_samples();
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const std::uint32_t both = (samples >> (2 * bit)) & 3U;
        if (both == 3U) value |= 1 << bit;
    }
    return port_.failed() ? 0 : value;
}

void ProgrammerLines::programming_pulse(std::int32_t prog_time_ms) {
    // Command 0000 with a NOP operand, its fourth clock held high for the programming time.
    if (!port_.failed()) {
        change_data(false);
        for (int i = 0; i < 3; ++i)
            clock_pulse();
        change_clock(true);
    }
    wait_ms(prog_time_ms);
    if (port_.failed()) return;
    change_clock(false);
    short_pause();
    short_pause();
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

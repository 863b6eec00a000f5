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

void ProgrammerLines::toggle_vdd_vpp() {
    if (port_.failed()) return;
    port_.write_byte(1);
    host_.yield_point();
}

void ProgrammerLines::clock_high() {
    if (!port_.failed()) change_clock(true);
}

void ProgrammerLines::clock_low() {
    if (!port_.failed()) change_clock(false);
}

void ProgrammerLines::data_high() {
    if (!port_.failed()) change_data(true);
}

void ProgrammerLines::data_low() {
    if (!port_.failed()) change_data(false);
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

void ProgrammerLines::programming_pulse(std::chrono::nanoseconds hold, std::chrono::nanoseconds discharge) {
    if (!port_.failed()) {
        change_data(false);
        for (int i = 0; i < 3; ++i)
            clock_pulse();
        change_clock(true);
    }
    clock_.wait_until(clock_.now() + hold);
    if (port_.failed()) return;
    change_clock(false);
    clock_.wait_until(clock_.now() + discharge);
    for (int i = 0; i < 16; ++i)
        clock_pulse();
}

void ProgrammerLines::power_up(std::int32_t voltage_sequence) {
    if (voltage_sequence == 1) {
        toggle_vdd_vpp();
        clock_.sleep_ms(kPowerSettleMs);
        host_.yield();
        clock_.sleep_ms(kPowerSettleMs);
    } else if (voltage_sequence == 2) {
        host_.yield();
        clock_.sleep_ms(kPowerSettleMs);
        toggle_vdd_vpp();
        clock_.sleep_ms(kPowerSettleMs);
    }
}

void ProgrammerLines::power_down() {
    toggle_vdd_vpp();
    clock_.sleep_ms(kPowerSettleMs);
    host_.yield();
    clock_.sleep_ms(kPowerSettleMs);
}

void split_address(AddressBytes& bytes, std::int32_t address) {
    bytes.address_upper = address / 65536;
    bytes.address_high = (address % 65536) / 256;
    bytes.address_low = address % 256;
}

}  // namespace quillon

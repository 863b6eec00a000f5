#include "engine/programmer_lines.h"

namespace quillon {

namespace {

constexpr int kPowerSettleMs = 50;

}  // namespace

void ProgrammerLines::toggle_vdd_vpp() {
    if (port_.failed()) return;
    port_.write_byte(1);
    host_.yield();
}

void ProgrammerLines::clock_high() {
    if (port_.failed()) return;
    port_.set_rts(true);
    host_.yield();
}

void ProgrammerLines::clock_low() {
    if (port_.failed()) return;
    port_.set_rts(false);
    host_.yield();
}

void ProgrammerLines::data_high() {
    if (port_.failed()) return;
    port_.set_dtr(true);
    host_.yield();
}

void ProgrammerLines::data_low() {
    if (port_.failed()) return;
    port_.set_dtr(false);
    host_.yield();
}

int ProgrammerLines::read_data_in() {
    if (port_.failed()) return 0;
    host_.yield();
    // Two agreeing reads filter a glitch on a slow or noisy DATA IN line.
    const bool first = port_.read_dsr();
    const bool second = port_.read_dsr();
    return first && second && !port_.failed() ? 1 : 0;
}

void ProgrammerLines::short_pause() {
    volatile int sum = 0;
    for (int i = 0; i < 100; ++i)
        sum = sum + i;
}

void ProgrammerLines::clock_bit(bool bit) {
    clock_high();
    if (bit) {
        data_high();
    } else {
        data_low();
    }
    clock_low();
}

void ProgrammerLines::clock_pulse() {
    clock_high();
    clock_low();
}

void ProgrammerLines::send_command(int command, std::int32_t operand) {
    if (command < 0 || command > 15 || operand < 0 || operand > 0xFFFF) return;
    for (int bit = 0; bit < 4; ++bit)
        clock_bit(((command >> bit) & 1) != 0);
    data_low();
    short_pause();
    for (int bit = 0; bit < 16; ++bit)
        clock_bit(((operand >> bit) & 1) != 0);
    data_low();
    short_pause();
}

int ProgrammerLines::read_byte(int command) {
    if (command < 0 || command > 15) return 0;
    for (int bit = 0; bit < 4; ++bit)
        clock_bit(((command >> bit) & 1) != 0);
    data_low();
    short_pause();
    for (int i = 0; i < 8; ++i)
        clock_pulse();  // the chip ignores these eight bits
    short_pause();
    data_high();
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        clock_high();
        if (read_data_in() == 1) value |= 1 << bit;
        clock_low();
    }
    data_low();
    short_pause();
    return value;
}

void ProgrammerLines::programming_pulse(std::int32_t prog_time_ms) {
    // Command 0000 with a NOP operand, its fourth clock held high for the programming time.
    data_low();
    for (int i = 0; i < 3; ++i)
        clock_pulse();
    clock_high();
    clock_.sleep_ms(prog_time_ms);
    clock_low();
    short_pause();
    short_pause();
    for (int i = 0; i < 16; ++i)
        clock_pulse();
    short_pause();
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

#include "sim_bench.h"

namespace quillon {

void SimBench::set_table_pointer(std::uint32_t address) {
    core(static_cast<std::uint16_t>(0x0E00 | ((address >> 16) & 0xFF)));
    core(0x6EF8);
    core(static_cast<std::uint16_t>(0x0E00 | ((address >> 8) & 0xFF)));
    core(0x6EF7);
    core(static_cast<std::uint16_t>(0x0E00 | (address & 0xFF)));
    core(static_cast<std::uint16_t>(0x6E00 | low_pointer_register));
}

void SimBench::bulk_erase() {
    if (family() == ChipFamily::B) {
        set_table_pointer(0x3C0005);
        lines.send_command(0b1100, 0x3F3F);
        set_table_pointer(0x3C0004);
        lines.send_command(0b1100, erase_key != 0 ? erase_key : 0x8F8F);
    } else {
        set_table_pointer(0x3C0004);
        lines.send_command(0b1100, erase_key != 0 ? erase_key : 0x0080);
    }
    core(0x0000);
    core(0x0000);
    clock.sleep_ms(20);
}

void SimBench::begin_code_writes() {
    if (family() != ChipFamily::B) {
        core(0x8EA6);  // BSF EEPGD
        core(0x8CA6);  // BSF CFGS
        set_table_pointer(0x3C0006);
        lines.send_command(0b1100, 0x0000);  // single-panel writes
    }
    core(0x8EA6);  // BSF EEPGD
    core(0x9CA6);  // BCF CFGS
}

void SimBench::write_block(std::uint32_t address, std::span<const std::uint8_t> bytes) {
    set_table_pointer(address);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const bool last = i + 2 >= bytes.size();
        lines.send_command(last ? 0b1111 : 0b1101, bytes[i] | bytes[i + 1] << 8);
    }
    if (send_pulse) lines.programming_pulse(prog_time_ms);
}

void SimBench::write_eeprom(std::int32_t address, std::uint8_t value) {
    core(0x9EA6);  // BCF EEPGD
    core(0x9CA6);  // BCF CFGS
    core(static_cast<std::uint16_t>(0x0E00 | (address & 0xFF)));
    core(0x6EA9);  // EEADR
    core(static_cast<std::uint16_t>(0x0E00 | value));
    core(0x6EA8);  // EEDATA
    core(0x84A6);  // BSF WREN
    if (family() != ChipFamily::B) {
        core(0x0E55);
        core(0x6EA7);
        core(0x0EAA);
        core(0x6EA7);
    }
    core(0x82A6);  // BSF WR
    for (int poll = 0; poll < 1000; ++poll) {
        core(0x50A6);  // MOVF EECON1, W
        core(0x6EF5);  // MOVWF TABLAT
        shift_out_nop();
        if ((lines.read_byte(0b0010) & 0x02) == 0) break;
    }
    core(0x94A6);  // BCF WREN
}

void SimBench::write_config(int index, std::uint8_t value) {
    core(0x8EA6);  // BSF EEPGD
    core(0x8CA6);  // BSF CFGS
    core(0xEF00);  // GOTO 100000h
    core(0xF800);
    set_table_pointer(0x300000 + static_cast<std::uint32_t>(index));
    lines.send_command(0b1111, value * 0x0101);
    if (send_pulse) lines.programming_pulse(config_time_ms);
}

void SimBench::shift_out_nop() {
    if (family() == ChipFamily::B && nop_before_shift_out) core(0x0000);
}

std::vector<std::uint8_t> SimBench::read_program(std::uint32_t address, std::size_t count) {
    set_table_pointer(address);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(lines.read_byte(0b1001)));
    return bytes;
}

std::uint8_t SimBench::read_eeprom(std::int32_t address) {
    core(0x9EA6);
    core(0x9CA6);
    core(static_cast<std::uint16_t>(0x0E00 | (address & 0xFF)));
    core(0x6EA9);
    core(0x80A6);  // BSF RD
    core(0x50A8);  // MOVF EEDATA, W
    core(0x6EF5);  // MOVWF TABLAT
    shift_out_nop();
    return static_cast<std::uint8_t>(lines.read_byte(0b0010));
}

}  // namespace quillon

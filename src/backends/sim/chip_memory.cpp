#include "backends/sim/chip_memory.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr std::size_t kConfig5l = 8;
constexpr std::size_t kConfig5h = 9;
constexpr std::size_t kConfig6l = 10;
constexpr std::size_t kConfig6h = 11;
constexpr std::uint8_t kBootBit = 0x40;    // CPB, WRTB
constexpr std::uint8_t kEepromBit = 0x80;  // CPD, WRTD

bool protects(const ChipMemory& memory, const ChipModel& model, std::size_t index, std::uint8_t bit) {
    return (model.config_bits[index] & bit) != 0 && (memory.config[index] & bit) == 0;
}

}  // namespace

ChipConfig erased_config(const ChipModel& model) {
    ChipConfig config = model.blank_config;
    for (std::size_t k = 0; k < config.size(); ++k)
        config[k] &= model.config_bits[k];
    return config;
}

ChipMemory erased_memory(const ChipModel& model) {
    ChipMemory memory;
    memory.flash.assign(static_cast<std::size_t>(std::max(model.flash_size, 0)), 0xFF);
    memory.eeprom.assign(static_cast<std::size_t>(std::max(model.eeprom_size, 0)), 0xFF);
    memory.id.fill(0xFF);
    memory.config = erased_config(model);
    return memory;
}

bool block_protected(const ChipMemory& memory, const ChipModel& model, const CodeBlock& block,
                     Protection kind) {
    const bool code = kind == Protection::Code;
    if (block.number < 0) return protects(memory, model, code ? kConfig5h : kConfig6h, kBootBit);
    if (block.number > 7) return false;
    return protects(memory, model, code ? kConfig5l : kConfig6l,
                    static_cast<std::uint8_t>(1u << block.number));
}

bool eeprom_protected(const ChipMemory& memory, const ChipModel& model, Protection kind) {
    return protects(memory, model, kind == Protection::Code ? kConfig5h : kConfig6h, kEepromBit);
}

std::uint8_t read_program_space(const ChipMemory& memory, const ChipModel& model, std::uint32_t address) {
    if (address < memory.flash.size()) {
        const std::optional<CodeBlock> block = model.code_block(address);
        if (block && block_protected(memory, model, *block, Protection::Code)) return 0x00;
        return memory.flash[address];
    }
    if (address >= kIdAddress && address < kIdAddress + kIdSize) return memory.id[address - kIdAddress];
    if (address >= kConfigAddress && address < kConfigAddress + kConfigByteCount) {
        const auto index = static_cast<std::size_t>(address - kConfigAddress);
        return static_cast<std::uint8_t>(memory.config[index] & model.config_bits[index]);
    }
    if (address == kDeviceIdAddress)
        return static_cast<std::uint8_t>((model.device_id & 0xE0) | (model.revision & 0x1F));
    if (address == kDeviceIdAddress + 1) return static_cast<std::uint8_t>(model.device_id >> 8);
    return 0x00;
}

}  // namespace quillon

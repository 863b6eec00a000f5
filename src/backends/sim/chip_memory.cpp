#include "backends/sim/chip_memory.h"

#include <algorithm>

namespace quillon {

ChipConfig erased_config(const ChipModel& model) {
    ChipConfig config = model.blank_config;
    for (int k = 0; k < kConfigByteCount; ++k)
        if (!model.has_config(k)) config[static_cast<std::size_t>(k)] = 0x00;
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

std::uint8_t read_program_space(const ChipMemory& memory, const ChipModel& model, std::uint32_t address) {
    if (address < memory.flash.size()) return memory.flash[address];
    if (address >= kIdAddress && address < kIdAddress + kIdSize) return memory.id[address - kIdAddress];
    if (address >= kConfigAddress && address < kConfigAddress + kConfigByteCount) {
        const int index = static_cast<int>(address - kConfigAddress);
        return model.has_config(index) ? memory.config[static_cast<std::size_t>(index)] : 0x00;
    }
    if (address == kDeviceIdAddress) return static_cast<std::uint8_t>(model.device_id & 0xFF);
    if (address == kDeviceIdAddress + 1) return static_cast<std::uint8_t>(model.device_id >> 8);
    return 0x00;
}

}  // namespace quillon

#include "model/protection.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr int kConfig5l = 9;
constexpr int kConfig5h = 10;
constexpr int kBootBit = 0x40;
constexpr int kEepromBit = 0x80;

// A chip whose every configuration byte read so far is 00 is more likely one that does not answer
// (DATA IN stuck low) than one protected, so its zeros are not taken for protection.
bool plausible(const ConfigValues& config) {
    bool any = false;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        if (config(k) > 0) return true;
        any = any || config(k) == 0;
    }
    return !any;
}

bool bit_protects(const SiliconTraits& silicon, const ConfigValues& config, int k, int bit) {
    return config(k) >= 0 && (silicon.bits(k) & bit) != 0 && (config(k) & bit) == 0 && plausible(config);
}

bool area_protected(const SiliconTraits& silicon, const ConfigValues& config, const ProtectedArea& area) {
    switch (area.kind) {
        case ProtectedArea::Kind::BootBlock:
            return bit_protects(silicon, config, kConfig5h, kBootBit);
        case ProtectedArea::Kind::Eeprom:
            return bit_protects(silicon, config, kConfig5h, kEepromBit);
        case ProtectedArea::Kind::Block:
            return area.block < 8 && bit_protects(silicon, config, kConfig5l, 1 << area.block);
    }
    return false;
}

}  // namespace

void ProtectedAreas::add(const ProtectedArea& area) {
    if (std::find(areas.begin(), areas.end(), area) == areas.end()) areas.push_back(area);
}

std::optional<ProtectedArea> protected_area(const SiliconTraits& silicon, const ConfigValues& config,
                                            std::int32_t address, bool eeprom) {
    const ProtectionBlocks& blocks = silicon.protection;
    if (blocks.empty()) return std::nullopt;
    ProtectedArea area;
    if (eeprom) {
        area.kind = ProtectedArea::Kind::Eeprom;
    } else if (blocks.boot && blocks.boot->contains(address)) {
        area.kind = ProtectedArea::Kind::BootBlock;
    } else {
        const auto found =
            std::find_if(blocks.blocks.begin(), blocks.blocks.end(),
                         [address](const AddressRange& range) { return range.contains(address); });
        if (found == blocks.blocks.end()) return std::nullopt;
        area.block = static_cast<int>(found - blocks.blocks.begin());
    }
    if (!area_protected(silicon, config, area)) return std::nullopt;
    return area;
}

ProtectedAreas protected_areas(const SiliconTraits& silicon, const ConfigValues& config) {
    ProtectedAreas result;
    if (silicon.protection.empty()) return result;
    std::vector<ProtectedArea> candidates;
    if (silicon.protection.boot) candidates.push_back({ProtectedArea::Kind::BootBlock, 0});
    for (std::size_t n = 0; n < silicon.protection.blocks.size(); ++n)
        candidates.push_back({ProtectedArea::Kind::Block, static_cast<int>(n)});
    candidates.push_back({ProtectedArea::Kind::Eeprom, 0});
    for (const ProtectedArea& area : candidates)
        if (area_protected(silicon, config, area)) result.add(area);
    return result;
}

std::string areas_text(const SiliconTraits& silicon, const ProtectedAreas& areas) {
    std::string text;
    for (std::size_t i = 0; i < areas.areas.size(); ++i) {
        const ProtectedArea& area = areas.areas[i];
        if (i > 0) text += i + 1 == areas.areas.size() ? " and " : ", ";
        switch (area.kind) {
            case ProtectedArea::Kind::BootBlock:
                text += "boot block " + range_text(*silicon.protection.boot);
                break;
            case ProtectedArea::Kind::Block:
                text += "block " + std::to_string(area.block) + " " +
                        range_text(silicon.protection.blocks[static_cast<std::size_t>(area.block)]);
                break;
            case ProtectedArea::Kind::Eeprom:
                text += "data EEPROM";
                break;
        }
    }
    return text;
}

bool sets_protection(const SiliconTraits& silicon, const ConfigValues& config) {
    if (!silicon.config_bits) return false;
    for (int k = kFirstProtectionByte; k <= kConfigByteCount; ++k) {
        const int bits = silicon.bits(k);
        if ((config(k) & bits) != bits) return true;
    }
    return false;
}

ConfigValues without_protection(const SiliconTraits& silicon, ConfigValues config) {
    for (int k = kFirstProtectionByte; k <= kConfigByteCount; ++k)
        config(k) |= silicon.bits(k);
    return config;
}

}  // namespace quillon

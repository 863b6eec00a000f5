#include "backends/sim/bulk_erase.h"

#include <algorithm>

#include "base/hex_text.h"

namespace quillon {

namespace {

EraseScope whole_chip(const ChipModel& model) {
    return {0, model.flash_size, true, true, true, "whole chip"};
}

std::optional<EraseScope> code_range(const ChipModel& model, std::int32_t begin, std::int32_t end,
                                     const std::string& name) {
    end = std::min(end, model.flash_size);
    if (begin >= end) return std::nullopt;  // the part has no such block
    return EraseScope{begin, end, false, false, false, name + " " + hex6(begin) + "-" + hex6(end - 1)};
}

// Family A erases by 3C0004 alone: 80 whole chip, 81 data EEPROM, 83 boot block, 88-8B the four
// 8 KB panels.
std::optional<EraseScope> scope_a(const ChipModel& model, std::uint8_t key) {
    if (key == 0x80) return whole_chip(model);
    if (key == 0x81) return EraseScope{0, 0, false, false, true, "data EEPROM"};
    if (key == 0x83) return code_range(model, 0, 0x200, "boot block");
    if (key >= 0x88 && key <= 0x8B) {
        const int panel = key - 0x88;
        return code_range(model, panel * 0x2000, (panel + 1) * 0x2000, "panel " + std::to_string(panel + 1));
    }
    return std::nullopt;
}

// Family B erases by the 16-bit key in 3C0005:3C0004: 3F8F whole chip, 0084 data EEPROM,
// 0081 boot block, 0082 configuration, 0180..2080 code blocks 0 to 5 (block 0 starts after the
// 2 KB boot block).
std::optional<EraseScope> scope_b(const ChipModel& model, std::uint16_t key) {
    if (key == 0x3F8F) return whole_chip(model);
    if (key == 0x0084) return EraseScope{0, 0, false, false, true, "data EEPROM"};
    if (key == 0x0081) return code_range(model, 0, 0x800, "boot block");
    if (key == 0x0082) return EraseScope{0, 0, false, true, false, "configuration"};
    for (int block = 0; block < 6; ++block) {
        if (key != ((0x0100 << block) | 0x80)) continue;
        const std::int32_t begin = block == 0 ? 0x800 : block * 0x2000;
        return code_range(model, begin, (block + 1) * 0x2000, "code block " + std::to_string(block));
    }
    return std::nullopt;
}

}  // namespace

std::optional<EraseScope> bulk_erase_scope(const ChipModel& model, std::uint16_t key) {
    switch (model.family) {
        case ChipFamily::A:
            return scope_a(model, static_cast<std::uint8_t>(key & 0xFF));
        case ChipFamily::B:
            return scope_b(model, key);
        case ChipFamily::C:
            // Only the whole-chip key of family C is documented in our sources; other values are
            // refused rather than guessed.
            if ((key & 0xFF) == 0x80) return whole_chip(model);
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace quillon

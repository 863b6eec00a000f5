#include "ui/buffer_edit.h"

#include <string>

#include "base/ascii.h"
#include "base/hex_text.h"
#include "model/app_state.h"

namespace quillon {

std::optional<std::uint8_t> parse_edit_entry(std::string_view entry) {
    if (entry.empty()) return std::nullopt;
    const std::string padded = "000" + ascii_upper(entry);
    const std::int32_t value = parse_hex4(std::string_view(padded).substr(padded.size() - 4));
    if (value < 0 || value > 0xFF) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

bool store_edit(AppState& state, EditTarget target, std::int32_t address, std::uint8_t value) {
    if (address < 0) return false;
    const auto at = static_cast<std::size_t>(address);
    switch (target) {
        case EditTarget::Flash:
            if (address >= state.flash_size || at >= state.image.flash.size()) return false;
            state.image.flash[at] = value;
            return true;
        case EditTarget::Eeprom:
            if (address >= state.eeprom_size || at >= state.image.eeprom.size()) return false;
            state.image.eeprom[at] = value;
            return true;
        case EditTarget::Config:
            if (address < 1 || address > kConfigByteCount) return false;
            state.image.config(address) = value;
            return true;
        case EditTarget::None:
            break;
    }
    return false;
}

}  // namespace quillon

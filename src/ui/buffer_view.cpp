#include "ui/buffer_view.h"

#include <algorithm>

#include "base/hex_text.h"
#include "model/app_state.h"

namespace quillon {

std::string table_text(const std::vector<std::uint8_t>& bytes, std::int32_t size, TableShape shape,
                       std::int32_t top_row) {
    const std::int64_t shown = std::min<std::int64_t>(std::max<std::int32_t>(size, 0), bytes.size());
    std::string text;
    if (shown == 0 || top_row < 0) return text;
    text.reserve(static_cast<std::size_t>(kVisibleRows * (shape.row_length() + 2)));
    for (std::int64_t row = top_row; row < top_row + kVisibleRows; ++row) {
        const std::int64_t first = row * shape.bytes_per_row;
        if (first >= shown) break;
        if (row != top_row) text += "\r\n";
        const auto address = static_cast<std::int32_t>(first);
        text += shape.address_digits == kFlashAddressDigits ? hex6(address) : hex4(address);
        text += ':';
        const std::int64_t end = std::min<std::int64_t>(first + shape.bytes_per_row, shown);
        for (std::int64_t at = first; at < end; ++at) {
            text += ' ';
            append_hex2(text, bytes[static_cast<std::size_t>(at)]);
        }
    }
    return text;
}

std::string flash_table_text(const AppState& state, std::int32_t top_row) {
    return table_text(state.image.flash, state.flash_size, kFlashShape, top_row);
}

std::string eeprom_table_text(const AppState& state, std::int32_t top_row) {
    return table_text(state.image.eeprom, state.eeprom_size, kEepromShape, top_row);
}

std::string memory_sizes_text(std::int32_t flash_size, std::int32_t eeprom_size) {
    return "FLASH: " + std::to_string(flash_size) + ",  EEPROM: " + std::to_string(eeprom_size);
}

std::int32_t scroll_maximum(std::int32_t size, int bytes_per_row) {
    if (size <= 0 || bytes_per_row <= 0) return 0;
    // Rows that exist, a last partial row included, so that every byte can be scrolled into view.
    const std::int32_t rows = size / bytes_per_row + (size % bytes_per_row != 0 ? 1 : 0);
    return std::max(rows - kVisibleRows, 0);
}

}  // namespace quillon

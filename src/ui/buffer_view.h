#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct AppState;

inline constexpr int kVisibleRows = 8;
inline constexpr int kFlashBytesPerRow = 16;
inline constexpr int kEepromBytesPerRow = 8;
inline constexpr int kFlashAddressDigits = 6;
inline constexpr int kEepromAddressDigits = 4;

// Shape of one hexadecimal table: "AAAAAA: XX XX ..." rows of a memory.
struct TableShape {
    int bytes_per_row;
    int address_digits;

    // Characters before the first cell: the address and its colon.
    int cells_start() const { return address_digits + 1; }
    // Characters of a full row: the address, the colon and a blank and two digits per byte.
    int row_length() const { return cells_start() + 3 * bytes_per_row; }
};

inline constexpr TableShape kFlashShape{kFlashBytesPerRow, kFlashAddressDigits};
inline constexpr TableShape kEepromShape{kEepromBytesPerRow, kEepromAddressDigits};

// Eight rows of `bytes` from row `top_row` on, joined with CR LF and without a line end after the
// last. `size` is the memory's size in bytes; only rows (and bytes of a last partial row) that
// exist in both the size and the buffer are shown, so an empty memory gives an empty text.
std::string table_text(const std::vector<std::uint8_t>& bytes, std::int32_t size, TableShape shape,
                       std::int32_t top_row);

std::string flash_table_text(const AppState& state, std::int32_t top_row);
std::string eeprom_table_text(const AppState& state, std::int32_t top_row);

// "FLASH: 32768,  EEPROM: 256"
std::string memory_sizes_text(std::int32_t flash_size, std::int32_t eeprom_size);

// Highest top row of a table: the number of rows (a last partial row counts) minus 8, and 0 for
// an empty memory or one with fewer than eight rows. For whole rows this is size / bytes per row - 8.
std::int32_t scroll_maximum(std::int32_t size, int bytes_per_row);

}  // namespace quillon

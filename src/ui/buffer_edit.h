#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct AppState;

// What the in-place edit box changes.
enum class EditTarget : std::int32_t { None = 0, Flash = 1, Eeprom = 2, Config = 3 };

// The byte an entry of the edit box stands for: the last four characters of "000" followed by the
// upper-cased entry, read as four hexadecimal digits, when that is 0 to FF. So "ff", "0ff" and
// "1200FF" give 255 and "F" gives 15, while "", "100", "G1", "1FF" and "12FF00" give nothing.
std::optional<std::uint8_t> parse_edit_entry(std::string_view entry);

// Stores `value` at `address` of the target (a FLASH or EEPROM address, or configuration byte
// 1..14). False, and nothing changed, when the location does not exist.
bool store_edit(AppState& state, EditTarget target, std::int32_t address, std::uint8_t value);

}  // namespace quillon

#include "ui/buffer_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/app_state.h"

namespace quillon {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

AppState state_with(std::int32_t flash_size, std::int32_t eeprom_size) {
    AppState state;
    state.flash_size = flash_size;
    state.eeprom_size = eeprom_size;
    state.image.flash.assign(static_cast<std::size_t>(flash_size), 0xFF);
    state.image.eeprom.assign(static_cast<std::size_t>(eeprom_size), 0xFF);
    for (std::int32_t i = 0; i < flash_size; ++i)
        state.image.flash[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return state;
}

TEST(BufferView, FlashRowsAtTheTopAndAtTheLastScrollPosition) {
    const AppState state = state_with(32768, 256);
    const std::string top = flash_table_text(state, 0);
    EXPECT_FALSE(top.ends_with("\r\n"));
    const auto rows = lines_of(top);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], "000000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
    EXPECT_EQ(rows[7].substr(0, 10), "000070: 70");
    for (const std::string& row : rows)
        EXPECT_EQ(row.size(), 55u);

    const std::int32_t last = scroll_maximum(state.flash_size, kFlashBytesPerRow);
    EXPECT_EQ(last, 2040);
    const auto bottom = lines_of(flash_table_text(state, last));
    ASSERT_EQ(bottom.size(), 8u);
    EXPECT_EQ(bottom[0].substr(0, 7), "007F80:");
    EXPECT_EQ(bottom[7], "007FF0: F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF");
}

TEST(BufferView, EepromRowsAreTwentyNineCharactersWithFourDigitAddresses) {
    AppState state = state_with(32768, 256);
    state.image.eeprom[0xF8] = 0x5A;
    const std::int32_t last = scroll_maximum(state.eeprom_size, kEepromBytesPerRow);
    EXPECT_EQ(last, 24);
    const auto rows = lines_of(eeprom_table_text(state, last));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], "00C0: FF FF FF FF FF FF FF FF");
    EXPECT_EQ(rows[7], "00F8: 5A FF FF FF FF FF FF FF");
    for (const std::string& row : rows)
        EXPECT_EQ(row.size(), 29u);
}

TEST(BufferView, AnEmptyOrShortMemoryShowsOnlyWhatExists) {
    const AppState no_eeprom = state_with(32768, 0);
    EXPECT_EQ(eeprom_table_text(no_eeprom, 0), "");
    EXPECT_EQ(scroll_maximum(0, kEepromBytesPerRow), 0);
    EXPECT_EQ(memory_sizes_text(32768, 0), "FLASH: 32768,  EEPROM: 0");

    // Fewer than eight rows, and a last row that is not full.
    const AppState small = state_with(20, 0);
    EXPECT_EQ(flash_table_text(small, 0),
              "000000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n000010: 10 11 12 13");
    EXPECT_EQ(scroll_maximum(20, kFlashBytesPerRow), 0);
    // A partial last row can still be scrolled into view.
    EXPECT_EQ(scroll_maximum(136, kFlashBytesPerRow), 1);
    EXPECT_EQ(lines_of(flash_table_text(state_with(136, 0), 1)).back(), "000080: 80 81 82 83 84 85 86 87");

    // A buffer shorter than its size (not allocated yet) is never read past its end.
    AppState unallocated;
    unallocated.flash_size = 32768;
    EXPECT_EQ(flash_table_text(unallocated, 0), "");
}

}  // namespace
}  // namespace quillon

#include "ui/buffer_edit.h"

#include <gtest/gtest.h>

#include "model/app_state.h"

namespace quillon {
namespace {

TEST(EditEntry, TakesTheLastFourCharactersOfThePaddedEntry) {
    EXPECT_EQ(parse_edit_entry("ff"), 255);
    EXPECT_EQ(parse_edit_entry("FF"), 255);
    EXPECT_EQ(parse_edit_entry("0ff"), 255);
    EXPECT_EQ(parse_edit_entry("F"), 15);
    EXPECT_EQ(parse_edit_entry("0"), 0);
    EXPECT_EQ(parse_edit_entry("1200FF"), 255);  // only the last four characters count

    EXPECT_EQ(parse_edit_entry(""), std::nullopt);
    EXPECT_EQ(parse_edit_entry("100"), std::nullopt);
    EXPECT_EQ(parse_edit_entry("G1"), std::nullopt);
    EXPECT_EQ(parse_edit_entry("1FF"), std::nullopt);
    EXPECT_EQ(parse_edit_entry("12FF00"), std::nullopt);
    EXPECT_EQ(parse_edit_entry(" ff"), std::nullopt);
    EXPECT_EQ(parse_edit_entry("-1"), std::nullopt);
}

TEST(EditEntry, StoresOnlyAtLocationsThatExist) {
    AppState state;
    state.flash_size = 32;
    state.eeprom_size = 8;
    state.image.flash.assign(32, 0xFF);
    state.image.eeprom.assign(8, 0xFF);

    EXPECT_TRUE(store_edit(state, EditTarget::Flash, 31, 0x12));
    EXPECT_EQ(state.image.flash[31], 0x12);
    EXPECT_TRUE(store_edit(state, EditTarget::Eeprom, 0, 0x34));
    EXPECT_EQ(state.image.eeprom[0], 0x34);
    EXPECT_TRUE(store_edit(state, EditTarget::Config, 1, 0x0F));
    EXPECT_TRUE(store_edit(state, EditTarget::Config, 14, 0x40));
    EXPECT_EQ(state.image.config(1), 0x0F);
    EXPECT_EQ(state.image.config(14), 0x40);

    const AppState before = state;
    EXPECT_FALSE(store_edit(state, EditTarget::Flash, 32, 0));
    EXPECT_FALSE(store_edit(state, EditTarget::Flash, -1, 0));
    EXPECT_FALSE(store_edit(state, EditTarget::Eeprom, 8, 0));
    EXPECT_FALSE(store_edit(state, EditTarget::Config, 0, 0));
    EXPECT_FALSE(store_edit(state, EditTarget::Config, 15, 0));
    EXPECT_FALSE(store_edit(state, EditTarget::None, 0, 0));
    EXPECT_EQ(state.image.flash, before.image.flash);
    EXPECT_EQ(state.image.eeprom, before.image.eeprom);
    EXPECT_EQ(state.image.config, before.image.config);
}

}  // namespace
}  // namespace quillon

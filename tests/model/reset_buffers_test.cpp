#include "model/reset_buffers.h"

#include <gtest/gtest.h>

#include "model/app_state.h"

namespace quillon {
namespace {

TEST(ResetBuffers, SizesToTheModelAndErases) {
    AppState state;
    state.flash_size = 128;
    state.eeprom_size = 64;
    for (int k = 1; k <= kConfigByteCount; ++k)
        state.erased_config(k) = k;
    state.image.loaded_flash_end = 77;
    state.image.flash.assign(16, 0x12);
    reset_buffers(state);
    EXPECT_EQ(state.image.flash, FlashBuffer(128, 0xFF));
    EXPECT_EQ(state.image.eeprom, EepromBuffer(64, 0xFF));
    EXPECT_EQ(state.image.config, state.erased_config);
    EXPECT_EQ(state.image.loaded_flash_end, 77);

    // A model change gives buffers of the new sizes; a model without EEPROM gives none.
    state.flash_size = 256;
    state.eeprom_size = 0;
    state.erased_config(3) = -1;
    reset_buffers(state);
    EXPECT_EQ(state.image.flash.size(), 256u);
    EXPECT_TRUE(state.image.eeprom.empty());
    EXPECT_EQ(state.image.config(3), -1);
}

}  // namespace
}  // namespace quillon

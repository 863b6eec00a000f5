#include "ui/start_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "devices/device_file.h"
#include "settings/memory_settings_store.h"
#include "startup/app_state.h"

namespace quillon {
namespace {

AppState state_with_models(int count) {
    AppState state;
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "model: Chip" + std::to_string(i) + "\r\nflash: " + std::to_string(1024 * i) +
                "\r\neeprom: 64\r\n";
    EXPECT_EQ(parse_device_text(state.catalog, text), DeviceFileStatus::Loaded);
    state.model_count = state.catalog.model_count();
    state.program_folder = "/opt/quillon/";
    return state;
}

TEST(StoredModelNumber, OutOfRangeOrNonNumbersSelectModelOneAndWriteItBack) {
    for (const std::string stored : {"0", "abc", "5", "-2", "99999999999", ""}) {
        MemorySettingsStore settings;
        settings.set_text_setting("Microcontroller Model", stored);
        EXPECT_EQ(stored_model_number(settings, 4), 1) << stored;
        EXPECT_EQ(settings.stored("Microcontroller Model").text, "1") << stored;
    }
}

TEST(StoredModelNumber, NumbersRoundHalfToEvenAndAreNotRewritten) {
    const std::pair<const char*, int> cases[] = {{"2.5", 2}, {"3.5", 4},  {"4", 4},
                                                 {" 3", 3},  {"1.49", 1}, {"2xyz", 2}};
    for (const auto& [stored, expected] : cases) {
        MemorySettingsStore settings;
        settings.set_text_setting("Microcontroller Model", stored);
        EXPECT_EQ(stored_model_number(settings, 4), expected) << stored;
        EXPECT_EQ(settings.stored("Microcontroller Model").text, stored);
    }
    MemorySettingsStore missing;
    EXPECT_EQ(stored_model_number(missing, 4), 1);
    EXPECT_EQ(missing.stored("Microcontroller Model").text, "1");
}

TEST(RestoreSettings, ReadsTheLastPathAndSelectsTheStoredModel) {
    AppState state = state_with_models(3);
    MemorySettingsStore settings;
    settings.set_text_setting("Microcontroller Model", "3");
    restore_settings(state, settings);
    EXPECT_EQ(state.last_path, "/opt/quillon/");
    EXPECT_EQ(settings.stored("Last Path").text, "/opt/quillon/");
    EXPECT_EQ(state.model_number, 3);
    EXPECT_EQ(state.model_name, "Chip3");
    EXPECT_EQ(state.flash_size, 3072);

    settings.set_text_setting("Last Path", "/home/user/hex/");
    restore_settings(state, settings);
    EXPECT_EQ(state.last_path, "/home/user/hex/");
}

}  // namespace
}  // namespace quillon

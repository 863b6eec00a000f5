#include "ui/start_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "base/memory_settings_store.h"
#include "model/app_state.h"
#include "model/device_file.h"

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

TEST(RestoreSettings, AStoredModelThatNamesNoModelIsReplacedByModelOne) {
    for (const std::string stored : {"0", "abc", "5", "-2", "99999999999", ""}) {
        AppState state = state_with_models(4);
        MemorySettingsStore settings;
        settings.set_text_setting("Microcontroller Model", stored);
        restore_settings(state, settings);
        EXPECT_EQ(state.model_number, 1) << stored;
        EXPECT_EQ(state.model_name, "Chip1") << stored;
        EXPECT_EQ(settings.stored("Microcontroller Model").text, "1") << stored;
    }
}

TEST(RestoreSettings, StoredNumbersRoundHalfToEvenAndAreNotRewritten) {
    const std::pair<const char*, int> cases[] = {{"2.5", 2}, {"3.5", 4}, {"4", 4}, {" 3", 3}, {"2xyz", 2}};
    for (const auto& [stored, expected] : cases) {
        AppState state = state_with_models(4);
        MemorySettingsStore settings;
        settings.set_text_setting("Microcontroller Model", stored);
        restore_settings(state, settings);
        EXPECT_EQ(state.model_number, expected) << stored;
        EXPECT_EQ(state.flash_size, 1024 * expected) << stored;
        EXPECT_EQ(settings.stored("Microcontroller Model").text, stored);
    }
}

TEST(RestoreSettings, ReadsTheLastPathWithTheProgramFolderAsDefault) {
    AppState state = state_with_models(3);
    MemorySettingsStore settings;
    restore_settings(state, settings);
    EXPECT_EQ(state.last_path, "/opt/quillon/");
    EXPECT_EQ(settings.stored("Last Path").text, "/opt/quillon/");
    EXPECT_EQ(settings.stored("Microcontroller Model").text, "1");

    settings.set_text_setting("Last Path", "/home/user/hex/");
    restore_settings(state, settings);
    EXPECT_EQ(state.last_path, "/home/user/hex/");
}

}  // namespace
}  // namespace quillon

#include "ui/theme_state.h"

#include <gtest/gtest.h>

#include "base/memory_settings_store.h"

namespace quillon {
namespace {

TEST(LoadTheme, WithoutASettingTheDefaultThemeIsStoredAndUsed) {
    MemorySettingsStore settings;
    ThemeState theme;
    theme.colors = find_theme("Halloween")->colors;
    load_theme(theme, settings);
    EXPECT_EQ(theme.name, "Original Lite");
    EXPECT_EQ(theme.colors, find_theme("Original Lite")->colors);
    EXPECT_EQ(settings.stored("Color Theme").text, "Original Lite");
}

TEST(LoadTheme, AStoredNameSelectsItsColours) {
    MemorySettingsStore settings;
    ThemeState theme;
    for (const char* name : {"Original Dark", "Mono Dark", "Halloween", "Original Lite"}) {
        settings.set_text_setting("Color Theme", name);
        load_theme(theme, settings);
        EXPECT_EQ(theme.name, name);
        EXPECT_EQ(theme.colors, find_theme(name)->colors) << name;
    }
}

TEST(LoadTheme, AnUnknownNameIsKeptWithTheDefaultColoursAndAnEmptyOneChangesNothing) {
    MemorySettingsStore settings;
    ThemeState theme;
    settings.set_text_setting("Color Theme", "Mono Dark");
    load_theme(theme, settings);

    settings.set_text_setting("Color Theme", "mono dark");  // names are compared exactly
    load_theme(theme, settings);
    EXPECT_EQ(theme.name, "mono dark");
    EXPECT_EQ(theme.colors, find_theme("Original Lite")->colors);

    settings.set_text_setting("Color Theme", "Halloween");
    load_theme(theme, settings);
    settings.set_text_setting("Color Theme", "");
    load_theme(theme, settings);
    EXPECT_EQ(theme.name, "");
    EXPECT_EQ(theme.colors, find_theme("Halloween")->colors);
}

}  // namespace
}  // namespace quillon

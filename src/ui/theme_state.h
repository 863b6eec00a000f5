#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/settings_catalog.h"
#include "ui/color_themes.h"

namespace quillon {

class SettingsStore;

// The current colour theme: its name as stored and the seventeen colours every themed window is
// painted with. The name may match no built-in theme (it is kept as stored); the colours are then
// those of the default theme. The program owns one and hands it to every window.
struct ThemeState {
    std::string name{kDefaultThemeName};
    std::array<std::uint32_t, kThemeRoleCount> colors = find_theme(kDefaultThemeName)->colors;

    std::uint32_t role(ThemeRole r) const { return role_colour(colors, r); }
};

// Makes `name` current: a built-in theme's colours; an empty name keeps the colours as they are;
// any other name keeps its text and takes the default theme's colours.
void apply_theme_name(ThemeState& theme, std::string_view name);

// Reads the setting kColorThemeSetting and makes it current.
void load_theme(ThemeState& theme, SettingsStore& settings);

}  // namespace quillon

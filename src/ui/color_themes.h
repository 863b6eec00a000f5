#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/settings_catalog.h"

namespace quillon {

inline constexpr int kThemeRoleCount = 17;
inline constexpr int kThemeCount = 46;
// The theme of a first run, whose colours also stand in for a name no theme has.
inline constexpr std::string_view kDefaultThemeName = kColorThemeSetting.default_value;

// A named set of seventeen colours (0xRRGGBB), each with a fixed role in every themed window.
struct ColorTheme {
    std::string_view name;
    std::array<std::uint32_t, kThemeRoleCount> colors;

    // Colour of role 1..17.
    std::uint32_t role(int r) const { return colors.at(static_cast<std::size_t>(r - 1)); }
};

// The 46 built-in themes in the order of the theme window.
std::span<const ColorTheme> builtin_themes();

// The theme of exactly this name (case and blanks matter), or null.
const ColorTheme* find_theme(std::string_view name);

}  // namespace quillon

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

// What each of a theme's seventeen colours paints. The numbers are the colours' places in every
// theme's table, counted from 1, and never change.
enum class ThemeRole : int {
    Window = 1,                // window background of the main, message, model and theme windows
    LoadedFileBackground = 2,  // the loaded file's caption; also the input box's window
    LoadedFileText = 3,
    HighlightBackground = 4,  // configuration captions and the highlighted list entry
    HighlightText = 5,
    ModelCaptionBackground = 6,  // the model caption and the keep-EEPROM box
    ModelCaptionText = 7,
    FieldBackground = 8,  // value fields, the input field and the other list entries
    FieldText = 9,
    Spare10 = 10,  // defined by every theme, painted by no window
    Spare11 = 11,
    MemoryCaptionBackground = 12,  // the FLASH and EEPROM captions
    MemoryCaptionText = 13,
    ModelNameBackground = 14,  // the model name and the status caption
    ModelNameText = 15,
    InfoBackground = 16,  // the memory size line and the message and prompt texts
    InfoText = 17,
};

// The colour of `role` in a table of seventeen colours.
inline std::uint32_t role_colour(const std::array<std::uint32_t, kThemeRoleCount>& colors, ThemeRole role) {
    return colors.at(static_cast<std::size_t>(static_cast<int>(role) - 1));
}

// A named set of seventeen colours (0xRRGGBB), each with a fixed role in every themed window.
struct ColorTheme {
    std::string_view name;
    std::array<std::uint32_t, kThemeRoleCount> colors;

    std::uint32_t role(ThemeRole r) const { return role_colour(colors, r); }
};

// The 46 built-in themes in the order of the theme window.
std::span<const ColorTheme> builtin_themes();

// The theme of exactly this name (case and blanks matter), or null.
const ColorTheme* find_theme(std::string_view name);

}  // namespace quillon

#include "ui/color_themes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quillon {
namespace {

TEST(ColorThemes, FortySixNamedThemesInWindowOrder) {
    const auto themes = builtin_themes();
    ASSERT_EQ(themes.size(), 46u);
    EXPECT_EQ(themes[0].name, "Amethyst");
    EXPECT_EQ(themes[1].name, "Arctica");
    EXPECT_EQ(themes[25].name, "HaXb0x");
    EXPECT_EQ(themes[34].name, "Original Dark");
    EXPECT_EQ(themes[35].name, "Original Lite");
    EXPECT_EQ(themes[45].name, "Winamp Old");
    std::set<std::string_view> names;
    for (const ColorTheme& theme : themes)
        names.insert(theme.name);
    EXPECT_EQ(names.size(), 46u);
}

TEST(ColorThemes, TheGivenPalettesAreExact) {
    const ColorTheme* lite = find_theme("Original Lite");
    ASSERT_NE(lite, nullptr);
    EXPECT_EQ(lite->colors,
              (std::array<std::uint32_t, 17>{0xD7E6CA, 0xE9E9DA, 0x000000, 0xC0FFC0, 0x000000, 0xE0E0E0,
                                             0x000000, 0xFFFFFF, 0x000000, 0xFF8080, 0xE0E0E0, 0xFFE0C0,
                                             0x000000, 0xFFC0C0, 0x000000, 0xFFFFC0, 0x000000}));
    EXPECT_EQ(find_theme("Original Dark")->role(1), 0x808080u);
    EXPECT_EQ(find_theme("Mono Dark")->role(16), 0x1C1C1Cu);
    EXPECT_EQ(find_theme("Halloween")->role(12), 0xC90000u);
    EXPECT_EQ(find_theme("original lite"), nullptr);  // names are compared exactly
}

TEST(ColorThemes, EveryThemeKeepsTheRoleRules) {
    for (const ColorTheme& theme : builtin_themes()) {
        EXPECT_EQ(theme.role(7), 0x000000u) << theme.name;
        if (theme.name == "Original Lite" || theme.name == "Original Dark") continue;
        EXPECT_EQ(theme.role(4), theme.role(2)) << theme.name;
        EXPECT_EQ(theme.role(5), theme.role(3)) << theme.name;
        EXPECT_EQ(theme.role(10), theme.role(9)) << theme.name;
    }
}

}  // namespace
}  // namespace quillon

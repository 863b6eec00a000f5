#include "ui/color_themes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "ui/contrast.h"
#include "ui/role_number.h"

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
    EXPECT_EQ(role_number(*find_theme("Original Dark"), 1), 0x808080u);
    EXPECT_EQ(role_number(*find_theme("Mono Dark"), 16), 0x1C1C1Cu);
    EXPECT_EQ(role_number(*find_theme("Halloween"), 12), 0xC90000u);
    EXPECT_EQ(find_theme("original lite"), nullptr);  // names are compared exactly
}

TEST(ColorThemes, EveryThemeKeepsTheRoleRules) {
    for (const ColorTheme& theme : builtin_themes()) {
        EXPECT_EQ(role_number(theme, 7), 0x000000u) << theme.name;
        if (theme.name == "Original Lite" || theme.name == "Original Dark") continue;
        EXPECT_EQ(role_number(theme, 4), role_number(theme, 2)) << theme.name;
        EXPECT_EQ(role_number(theme, 5), role_number(theme, 3)) << theme.name;
        EXPECT_EQ(role_number(theme, 10), role_number(theme, 9)) << theme.name;
    }
}

// Legibility (ui/contrast.h): text against its background by the contrast ratio, the highlighted
// list entry against the other entries by the colour difference. A difference of about 2 is just
// visible side by side; 20 is the step from white to a light grey (#C6C6C6), the least a highlight
// must stand out by to be seen at a glance.
constexpr double kMinContrast = 3.0;
constexpr double kMinHighlightDifference = 20.0;

TEST(ColorThemes, TheMeasuresMatchKnownValues) {
    EXPECT_NEAR(contrast(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrast(0x777777, 0xFFFFFF), 4.48, 0.01);
    EXPECT_NEAR(difference(0x000000, 0xFFFFFF), 100.0, 0.01);
    EXPECT_NEAR(difference(0xFF0000, 0x000000), 117.3, 0.1);  // red is L 53.2, a 80.1, b 67.2
}

// Every background and text pair the themed windows paint.
struct TextPair {
    int background;
    int text;
    const char* used_for;
};
constexpr TextPair kTextPairs[] = {
    {2, 3, "\"Loaded HEX File\" caption"},
    {4, 5, "configuration captions and the highlighted list entry"},
    {6, 7, "\"Microcontroller Model\" caption"},
    {8, 9, "value fields, status line, input field and the other list entries"},
    {12, 13, "memory captions"},
    {14, 15, "model name and \"Status\" caption"},
    {16, 17, "memory size line and message text"},
};

// The four classic palettes are kept exactly as users know them, including their few weak spots.
// check 0 stands for the highlight's difference, otherwise it is the background of a text pair.
struct Exemption {
    std::string_view theme;
    int check;
    const char* why;
};
constexpr Exemption kExemptions[] = {
    {"Halloween", 8, "classic palette: white on amber value fields and list entries"},
    {"Halloween", 16, "classic palette: cream on orange message text"},
    {"Mono Dark", 0, "classic palette: the highlight is dark grey among black entries"},
};

bool exempt(std::string_view theme, int check) {
    return std::any_of(std::begin(kExemptions), std::end(kExemptions),
                       [&](const Exemption& e) { return e.theme == theme && e.check == check; });
}

TEST(ColorThemes, EveryThemeIsLegibleAndShowsTheHighlight) {
    for (const ColorTheme& theme : builtin_themes()) {
        for (const TextPair& pair : kTextPairs) {
            const double ratio = contrast(role_number(theme, pair.background), role_number(theme, pair.text));
            if (exempt(theme.name, pair.background)) {
                EXPECT_LT(ratio, kMinContrast) << theme.name << ": the exemption is no longer needed";
                continue;
            }
            EXPECT_GE(ratio, kMinContrast) << theme.name << ", roles " << pair.background << "/" << pair.text
                                           << " (" << pair.used_for << ")";
        }
        const double highlight = difference(role_number(theme, 4), role_number(theme, 8));
        if (exempt(theme.name, 0))
            EXPECT_LT(highlight, kMinHighlightDifference)
                << theme.name << ": the exemption is no longer needed";
        else
            EXPECT_GE(highlight, kMinHighlightDifference)
                << theme.name << ": highlighted entry (role 4) among role 8";
    }
}

}  // namespace
}  // namespace quillon

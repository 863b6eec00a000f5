#include "ui/theme_state.h"

#include "base/settings_store.h"

namespace quillon {

void apply_theme_name(ThemeState& theme, std::string_view name) {
    theme.name = std::string(name);
    if (const ColorTheme* found = find_theme(name)) {
        theme.colors = found->colors;
    } else if (!name.empty()) {
        theme.colors = find_theme(kDefaultThemeName)->colors;
    }
}

void load_theme(ThemeState& theme, SettingsStore& settings) {
    apply_theme_name(theme, read_setting(settings, kColorThemeSetting));
}

}  // namespace quillon

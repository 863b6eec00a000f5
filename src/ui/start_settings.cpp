#include "ui/start_settings.h"

#include "devices/select_model.h"
#include "settings/settings_store.h"
#include "startup/app_state.h"
#include "startup/numbers.h"

namespace quillon {

std::int32_t stored_model_number(SettingsStore& settings, std::int32_t model_count) {
    const std::string stored = settings.get_text_setting(kModelSetting, "1");
    const std::optional<std::int32_t> number = round_to_int32(leading_number(stored));
    if (!number || *number < 1 || *number > model_count) {
        settings.set_text_setting(kModelSetting, "1");
        return 1;
    }
    return *number;
}

void restore_settings(AppState& state, SettingsStore& settings) {
    state.last_path = settings.get_text_setting(kLastPathSetting, state.program_folder);
    state.model_number = stored_model_number(settings, state.model_count);
    if (state.model_number <= state.model_count) select_model(state, state.model_number);
}

}  // namespace quillon

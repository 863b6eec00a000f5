#include "ui/start_settings.h"

#include "base/settings_store.h"
#include "model/app_state.h"
#include "model/select_model.h"
#include "model/settings_catalog.h"
#include "model/stored_model.h"

namespace quillon {

void restore_settings(AppState& state, SettingsStore& settings) {
    state.last_path = read_setting(settings, kLastPathSetting, state.program_folder);
    state.model_number = stored_model_number(settings, state.model_count);
    if (state.model_number == 0) {
        state.model_number = 1;
        write_setting(settings, kModelSetting, std::to_string(state.model_number));
    }
    if (state.model_number <= state.model_count) select_model(state, state.model_number);
}

}  // namespace quillon

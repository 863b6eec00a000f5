#pragma once

namespace quillon {

class SettingsStore;
struct AppState;

// The settings part of the main window's load step: `last_path` from kLastPathSetting (default
// the program folder), then the model that kModelSetting names, selected into the state. A stored
// model that names no model (not a number, out of range, too large) is replaced by model 1, which
// is written back.
void restore_settings(AppState& state, SettingsStore& settings);

}  // namespace quillon

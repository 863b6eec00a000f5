#pragma once

#include <string_view>

namespace quillon {

class SettingsStore;
struct AppState;

inline constexpr std::string_view kLastPathSetting = "Last Path";

// The settings part of the main window's load step: `last_path` from "Last Path" (default the
// program folder), then the model that "Microcontroller Model" names, selected into the state.
// A stored model that names no model (not a number, out of range, too large) is replaced by
// model 1, and "1" is written back.
void restore_settings(AppState& state, SettingsStore& settings);

}  // namespace quillon

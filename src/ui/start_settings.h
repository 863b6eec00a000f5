#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {

class SettingsStore;
struct AppState;

inline constexpr std::string_view kLastPathSetting = "Last Path";
inline constexpr std::string_view kModelSetting = "Microcontroller Model";

// The stored model number: "Microcontroller Model" (default "1") as a number rounded half to
// even. A number below 1, above `model_count` or outside 32 bits is replaced by 1, and "1" is
// written back.
std::int32_t stored_model_number(SettingsStore& settings, std::int32_t model_count);

// The settings part of the main window's load step: `last_path` from "Last Path" (default the
// program folder), then the stored model number, selected into the state.
void restore_settings(AppState& state, SettingsStore& settings);

}  // namespace quillon

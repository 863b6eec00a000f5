#pragma once

#include <string>

namespace quillon {

class Host;
struct AppState;

// What a configuration cell says when the pointer rests on it.
inline constexpr const char* kConfigTip = "Click to edit!";

// The cell's tip for configuration byte `byte` (1..14): kConfigTip, then the settings of that byte
// as the buffers have them, one a line ("OSC = HS").
std::string config_cell_tip(const AppState& state, int byte);

// Before Program All: true when the image writes no protection, or the user answers Yes to
// programming it; on No the status line says that nothing was done.
bool program_all_confirmed(const AppState& state, Host& host);

}  // namespace quillon

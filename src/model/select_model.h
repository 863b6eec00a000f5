#pragma once

#include <string>

#include "model/app_state.h"

namespace quillon {

// Largest sizes the PIC18 address map has room for: FLASH ends where the ID locations begin,
// and the HEX writer keeps EEPROM under one 64 KB segment.
inline constexpr std::int32_t kMaxFlashSize = 0x200000;
inline constexpr std::int32_t kMaxEepromSize = 0x10000;

// Makes model `model_number` (1..model_count) the selected one: fills the ActiveDevice fields of
// `state` from the catalog. voltage_sequence keeps its value when the model's text is neither word.
void select_model(AppState& state, int model_number);

// The script word list of a script text: lower case, split at commas, nothing trimmed; a trailing
// comma adds no word, and an empty text is one empty word.
AlgorithmScript split_script(const std::string& text);

// The fourteen erased configuration values of a configerased text; -1 for an unreadable pair.
ConfigValues parse_configerased(const std::string& text);

}  // namespace quillon

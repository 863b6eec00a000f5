#pragma once

#include <cstdint>

#include "base/settings_store.h"
#include "model/settings_catalog.h"

namespace quillon {

// The model the program starts with: kModelSetting read as a number and rounded, halves to the
// even neighbour. 0 when that names no model from 1 to `model_count` (not a number, out of range,
// too large); the program then starts with model 1.
std::int32_t stored_model_number(SettingsStore& settings, std::int32_t model_count);

}  // namespace quillon

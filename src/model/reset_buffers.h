#pragma once

namespace quillon {

struct AppState;

// Sizes FLASH and EEPROM to the selected model, fills them with 0xFF and copies the model's erased
// configuration values. Redrawing is the caller's business; loaded_flash_end is left alone.
void reset_buffers(AppState& state);

}  // namespace quillon

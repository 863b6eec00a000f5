#include "model/reset_buffers.h"

#include "model/app_state.h"

namespace quillon {

void reset_buffers(AppState& state) {
    state.image.flash.assign(static_cast<std::size_t>(std::max(state.flash_size, 0)), kErasedByte);
    state.image.eeprom.assign(static_cast<std::size_t>(std::max(state.eeprom_size, 0)), kErasedByte);
    state.image.config = state.erased_config;
}

}  // namespace quillon

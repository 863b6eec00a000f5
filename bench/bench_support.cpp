#include "bench_support.h"

#include <cstdlib>
#include <random>

#include "model/device_file.h"
#include "model/reset_buffers.h"
#include "model/select_model.h"

namespace quillon::bench {

std::string supplied_device_file() {
    const char* path = std::getenv("QUILLON_DEVICE_FILE");
    return path != nullptr ? path : QUILLON_SUPPLIED_DEVICE_FILE;
}

bool select_supplied_model(AppState& state, std::string_view model) {
    state.catalog = DeviceCatalog{};
    if (load_device_file(state.catalog, supplied_device_file()).status != DeviceFileStatus::Loaded)
        return false;
    state.model_count = state.catalog.model_count();
    for (int number = 1; number <= state.model_count; ++number) {
        if (state.catalog.models[static_cast<std::size_t>(number)].name != model) continue;
        select_model(state, number);
        state.model_number = number;
        reset_buffers(state);
        return true;
    }
    return false;
}

void fill_full_image(AppState& state, unsigned seed) {
    std::mt19937 random(seed);
    for (auto* buffer : {&state.image.flash, &state.image.eeprom}) {
        for (std::uint8_t& byte : *buffer)
            byte = static_cast<std::uint8_t>(random());
        if (!buffer->empty()) buffer->back() = 0x00;
    }
}

}  // namespace quillon::bench

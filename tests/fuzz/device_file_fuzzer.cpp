// Any device definition file must load and every model in it must select without a crash, and a
// selected model must come out with sizes the address map has room for.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/device_file.h"
#include "model/select_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quillon::AppState state;
    quillon::parse_device_text(state.catalog, text);
    state.model_count = state.catalog.model_count();
    for (int m = 1; m <= state.model_count; ++m) {
        quillon::select_model(state, m);
        if (state.flash_size < 0 || state.flash_size > quillon::kMaxFlashSize || state.eeprom_size < 0 ||
            state.eeprom_size > quillon::kMaxEepromSize) {
            std::abort();
        }
    }
    return 0;
}

#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "model/app_state.h"
#include "model/device_catalog.h"
#include "tools/library/model_check.h"

namespace quillon {

struct OperationTime {
    Operation operation;
    std::chrono::nanoseconds virtual_time;  // on the fake clock: waits plus 1 us per line change
};

struct SimulationReport {
    bool chip_known = false;         // the simulator has a chip of the model's name
    std::vector<ModelFault> faults;  // slots are left unknown (-1)
    std::vector<OperationTime> times;
};

// Runs the scripts of the model selected in `state` (they must pass check_model) on a virtual
// chip of the same name on a fake clock: erase a chip full of random bytes, blank check, fill the
// chip with random bytes again and program a random full image (every FLASH and EEPROM byte, and
// the configuration bytes the chip has; 00 in those it lacks), verify, read. The read-back and the
// chip's own cells must equal the image, the chip must refuse nothing, and each run must power the
// chip down. Then one byte of the chip is changed in FLASH, in EEPROM and in the configuration in
// turn; verify must report exactly that location each time. A model with a configuration-only
// script then programs with verify an image that protects everything, a verify must name the
// protection, and an erase must lift it. `seed` fixes the random bytes, so a
// failure repeats. `times` holds the first run of each operation. The buffers of `state` end up
// holding the image.
SimulationReport simulate_model(AppState& state, std::uint32_t seed);

}  // namespace quillon

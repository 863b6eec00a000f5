#pragma once

#include <string>
#include <vector>

#include "model/device_catalog.h"
#include "tools/library/model_check.h"
#include "tools/library/model_simulation.h"

namespace quillon {

// Whether a model's scripts were also run on a virtual chip.
enum class Simulation {
    Ran,
    NoSuchChip,  // the simulator has no chip of the model's name
    Skipped,     // the model already failed the checks that need no chip
};

struct ModelCheck {
    int number = 0;
    std::string name;
    std::vector<ModelFault> faults;
    Simulation simulation = Simulation::Skipped;
    std::vector<OperationTime> times;  // virtual time of each operation, when it ran

    bool passed() const { return faults.empty(); }
};

struct LibraryCheck {
    std::vector<DeviceFileNote> notes;  // lines the loader passed over or that had no effect
    std::vector<ModelCheck> models;

    int failed_count() const;
    // Every model passed and the loader passed over no line.
    bool passed() const { return notes.empty() && failed_count() == 0; }
};

// Checks model `only` of `catalog` (1..model_count), or every model when `only` is 0: first
// check_model, then, when that found nothing and the simulator knows the chip, simulate_model.
// The random images are the same on every call.
LibraryCheck check_device_library(const DeviceCatalog& catalog, int only = 0);

}  // namespace quillon

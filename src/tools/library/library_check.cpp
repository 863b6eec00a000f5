#include "tools/library/library_check.h"

#include <algorithm>

namespace quillon {

namespace {

// Any fixed number serves; each model gets its own images from it.
constexpr std::uint32_t kImageSeed = 0x51C0'0452;

ModelCheck check_one(AppState& state, int number) {
    ModelCheck check;
    check.number = number;
    check.name = state.catalog.models.at(static_cast<std::size_t>(number)).name;
    check.faults = check_model(state, number);
    if (!check.faults.empty()) return check;

    SimulationReport report = simulate_model(state, kImageSeed + static_cast<std::uint32_t>(number));
    if (!report.chip_known) {
        check.simulation = Simulation::NoSuchChip;
    } else if (!report.times.empty()) {
        check.simulation = Simulation::Ran;
    }
    check.times = std::move(report.times);
    for (ModelFault& fault : report.faults) {
        if (fault.operation) fault.slot = script_slot(state.catalog, number, *fault.operation);
        check.faults.push_back(std::move(fault));
    }
    return check;
}

}  // namespace

int LibraryCheck::failed_count() const {
    return static_cast<int>(
        std::count_if(models.begin(), models.end(), [](const ModelCheck& model) { return !model.passed(); }));
}

LibraryCheck check_device_library(const DeviceCatalog& catalog, int only) {
    LibraryCheck result;
    result.notes = catalog.notes;
    AppState state;
    state.catalog = catalog;
    state.model_count = catalog.model_count();
    for (int number = 1; number <= catalog.model_count(); ++number) {
        if (only != 0 && number != only) continue;
        result.models.push_back(check_one(state, number));
    }
    return result;
}

}  // namespace quillon

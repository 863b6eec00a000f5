#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/app_state.h"
#include "model/device_catalog.h"

namespace quillon {

// The programming times a model may give, in milliseconds: the same range the user may choose
// later. Below 1 ms no PIC18 cell is programmed; beyond 30 ms a run only gets slower.
inline constexpr std::int32_t kMinModelProgTimeMs = 1;
inline constexpr std::int32_t kMaxModelProgTimeMs = 30;

// One thing wrong with a model of a device library.
struct ModelFault {
    std::optional<Operation> operation;  // the script it is in; none for the model's own values
    int slot = -1;                       // the slot that script came from, -1 when unknown
    std::string text;                    // what is wrong, one sentence without a final stop
};

// "program script (slot 2): <text>", or "<text>" for a fault of the model's own values.
std::string describe_fault(const ModelFault& fault);

// The slot of `operation`'s table that model `number` took its script from, or -1 when the
// model has none or the slot was redefined after the model was read.
int script_slot(const DeviceCatalog& catalog, int number, Operation operation);

// Everything wrong with model `number` (1..model_count) of state.catalog that shows without a
// chip: what the script checks before a run find in each of the five scripts, a missing script,
// "begin" and "end" that do not pair up, sizes, erased configuration values, voltage sequence and
// programming time. Selects the model in `state` on the way.
std::vector<ModelFault> check_model(AppState& state, int number);

}  // namespace quillon

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/host.h"
#include "engine/script/script_program.h"
#include "model/app_state.h"

namespace quillon {

// The bytes each address loop of a run covers, worked out before the run from the loop ends it
// will find, so that the caption of one loop tells how far the whole run has come.
struct RunPlan {
    // Per instruction (instruction n at index n - 1); 0 for instructions that start no loop.
    std::vector<std::int64_t> before;  // bytes of the loops that come before this one
    std::vector<std::int64_t> bytes;   // bytes this loop covers
    std::int64_t total = 0;
};

// The plan of `program` on the buffers and sizes of `state` as the run is about to find them.
RunPlan plan_run(const ScriptProgram& program, const AppState& state);

// 0 to 100.
int progress_percent(const RunProgress& progress);

// elapsed / done x what remains, once enough is done for the pace to say something; nothing
// before that.
std::optional<std::chrono::seconds> time_left(const RunProgress& progress);

// "37%, 2:31 left"; only "37%" while the time left cannot be told yet.
std::string progress_text(const RunProgress& progress);

// The progress text of one run as it goes on, with a steady time left: the estimate of each byte
// swings by a second between clock ticks, so the time shown goes down with the run and up again
// only when the estimate has grown by more than a few seconds. A progress of 0 bytes starts anew.
class ProgressTeller {
  public:
    std::string text(const RunProgress& progress);

  private:
    std::optional<std::chrono::seconds> shown_;
};

}  // namespace quillon

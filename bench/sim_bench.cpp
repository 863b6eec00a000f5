// Programming on the simulated board: program all and verify of a full image, as quillon-cli does
// with --port sim:FILE program image.hex --verify, for a family A and a family B model. Reports the
// line changes per second of real time.
#include <benchmark/benchmark.h>

#include "backends/sim/chip_model.h"
#include "backends/sim/simulated_board.h"
#include "bench_support.h"
#include "engine/operations/chip_operations.h"

namespace quillon::bench {
namespace {

void program_and_verify(benchmark::State& state, const char* model) {
    AppState app;
    const std::optional<ChipModel> chip_model = find_chip_model(model);
    if (!chip_model || !select_supplied_model(app, model)) {
        state.SkipWithError("the supplied device library lacks the model");
        return;
    }
    fill_full_image(app, 18);
    app.port_open = true;
    FakeClock clock;
    SimLog log;
    SilentHost host;
    std::int64_t changes = 0;
    for (auto _ : state) {
        // A fresh chip each time, as a new sim:FILE starts with an erased one.
        SimulatedBoard made = build_simulated_board(*chip_model, {clock, log});
        SimBoard& board = made.board();
        ChipSession session{app, host, clock, &board};
        if (program_all(session) != RunOutcome::Completed || verify_chip(session) != RunOutcome::Completed) {
            state.SkipWithError("program all or verify failed on the simulated chip");
            return;
        }
        changes += board.change_count();
    }
    state.counters["line_changes"] =
        static_cast<double>(changes / static_cast<std::int64_t>(state.iterations()));
    state.counters["changes_per_s"] =
        benchmark::Counter(static_cast<double>(changes), benchmark::Counter::kIsRate);
}

void BM_SimProgramVerifyFamilyA(benchmark::State& state) {
    program_and_verify(state, "PIC18F452");
}
BENCHMARK(BM_SimProgramVerifyFamilyA)->Unit(benchmark::kMillisecond);

void BM_SimProgramVerifyFamilyB(benchmark::State& state) {
    program_and_verify(state, "PIC18F4550");
}
BENCHMARK(BM_SimProgramVerifyFamilyB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon::bench

BENCHMARK_MAIN();

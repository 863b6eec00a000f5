// The engine's own cost per line change: a whole "program all" of a full PIC18F452 image through
// the interpreter and the line primitives into a port that only counts, against a plain loop that
// makes the same line changes, recorded once, through the same port interface.
#include <benchmark/benchmark.h>

#include <vector>

#include "backends/recording/recording_port.h"
#include "bench_support.h"
#include "engine/operations/chip_operations.h"

namespace quillon::bench {
namespace {

constexpr const char* kModel = "PIC18F452";

struct ProgramAllRig {
    AppState state;
    FakeClock clock;
    SilentHost host;
    bool ready = false;

    ProgramAllRig() {
        if (!select_supplied_model(state, kModel)) return;
        fill_full_image(state, 452);
        state.port_open = true;
        ready = true;
    }

    RunOutcome run(ProgrammerPort& port) {
        ChipSession session{state, host, clock, &port};
        return program_all(session);
    }
};

// The line changes of one program all, in order, reads included.
std::vector<LineEvent> record_program_all() {
    ProgramAllRig rig;
    RecordingPort recorder;
    if (!rig.ready || rig.run(recorder) != RunOutcome::Completed) return {};
    return recorder.events();
}

// Replays `events` through the port interface. Kept out of line and handed the port by reference,
// so every change is a virtual call, as the engine's are.
[[gnu::noinline]] void replay(const std::vector<LineEvent>& events, ProgrammerPort& port) {
    for (const LineEvent& event : events) {
        switch (event.kind) {
            case LineEvent::Kind::Dtr:
                port.set_dtr(event.value != 0);
                break;
            case LineEvent::Kind::Rts:
                port.set_rts(event.value != 0);
                break;
            case LineEvent::Kind::ReadDsr:
                benchmark::DoNotOptimize(port.read_dsr());
                break;
            case LineEvent::Kind::WriteByte:
                port.write_byte(static_cast<std::uint8_t>(event.value));
                break;
        }
    }
}

void report_changes(benchmark::State& state, std::int64_t changes_per_run, std::int64_t reads_per_run) {
    state.counters["line_changes"] = static_cast<double>(changes_per_run);
    state.counters["dsr_reads"] = static_cast<double>(reads_per_run);
    state.counters["ns_per_change"] =
        benchmark::Counter(static_cast<double>(changes_per_run) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_EngineProgramAll(benchmark::State& state) {
    ProgramAllRig rig;
    if (!rig.ready) {
        state.SkipWithError("the supplied device library or its PIC18F452 is missing");
        return;
    }
    CountOnlyPort port;
    for (auto _ : state) {
        if (rig.run(port) != RunOutcome::Completed) {
            state.SkipWithError("program all did not complete");
            return;
        }
    }
    const auto runs = static_cast<std::int64_t>(state.iterations());
    report_changes(state, port.changes / runs, port.reads / runs);
}
BENCHMARK(BM_EngineProgramAll)->Unit(benchmark::kMillisecond);

void BM_ReplayProgramAll(benchmark::State& state) {
    const std::vector<LineEvent> events = record_program_all();
    if (events.empty()) {
        state.SkipWithError("the recorded run did not complete");
        return;
    }
    CountOnlyPort port;
    ProgrammerPort* target = &port;
    benchmark::DoNotOptimize(target);
    for (auto _ : state)
        replay(events, *target);
    const auto runs = static_cast<std::int64_t>(state.iterations());
    report_changes(state, port.changes / runs, port.reads / runs);
}
BENCHMARK(BM_ReplayProgramAll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon::bench

BENCHMARK_MAIN();

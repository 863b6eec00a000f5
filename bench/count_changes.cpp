// Counts what each chip operation asks of the port for a full image of a supplied model: line
// changes that reach the port (a change to the level a line already has makes no call), DATA IN
// reads, and the time it sleeps (programming pulses, settling, waits). With a per-call cost this
// gives the time an operation takes on a port:
//   quillon-bench-count [MODEL...]   (default PIC18F452 PIC18F4550)
// Reads answer FF, so blank check and verify of an erased image find no byte to report and run
// to their end; a data EEPROM write is taken as done at its first poll, as on a slow port.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "backends/recording/counting_port.h"
#include "bench_support.h"
#include "engine/operations/chip_operations.h"

namespace quillon::bench {
namespace {

struct Count {
    std::int64_t requests = 0;  // line changes the engine asks for, same levels included
    std::int64_t changes = 0;
    std::int64_t reads = 0;
    double sleep_s = 0;
};

Count count(AppState& state, Operation operation) {
    CountOnlyPort sink;
    // Program: every read 0 (write polls end at once). The others read FF from an erased chip.
    sink.dsr_level = operation != Operation::Program;
    CountingPort port(sink);
    FakeClock clock;
    SilentHost host;
    ChipSession session{state, host, clock, &port};
    run_algorithm(session, operation);
    return {sink.changes, port.changes(), port.reads(), std::chrono::duration<double>(clock.now()).count()};
}

int count_model(const char* model) {
    AppState state;
    if (!select_supplied_model(state, model)) {
        std::fprintf(stderr, "%s is not in %s\n", model, supplied_device_file().c_str());
        return 2;
    }
    state.port_open = true;
    const AppState erased = state;
    fill_full_image(state, 1);
    std::printf("%s (FLASH %d, EEPROM %d bytes, full image)\n", model, state.flash_size, state.eeprom_size);
    std::printf(
        "| Operation | Line changes | DATA IN reads | Calls | Changes asked | Sleeps |\n"
        "|---|---:|---:|---:|---:|---:|\n");
    for (const Operation operation :
         {Operation::Erase, Operation::Program, Operation::Read, Operation::BlankCheck, Operation::Verify}) {
        AppState run = operation == Operation::Program ? state : erased;
        const Count c = count(run, operation);
        std::printf("| %s | %lld | %lld | %lld | %lld | %.2f s |\n", operation_name(operation),
                    static_cast<long long>(c.changes), static_cast<long long>(c.reads),
                    static_cast<long long>(c.changes + c.reads), static_cast<long long>(c.requests),
                    c.sleep_s);
    }
    return 0;
}

}  // namespace
}  // namespace quillon::bench

int main(int argc, char** argv) {
    std::vector<const char*> models(argv + 1, argv + argc);
    if (models.empty()) models = {"PIC18F452", "PIC18F4550"};
    int status = 0;
    for (const char* model : models)
        status = std::max(status, quillon::bench::count_model(model));
    return status;
}

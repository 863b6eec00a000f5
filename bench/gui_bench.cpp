// The window's own cost on a chip operation: "program all" of a full PIC18F452 image started from
// the main window (real widgets on the offscreen platform, status captions, yields to its event
// pump, run_operation) against the same run from the core with a host that does nothing. Both go
// into the same port that only counts, on a clock that tells real time but skips its sleeps, so
// the window's event pump runs as often as it would in a real run of that length. The port answers
// the model's device ID, so the window's check of the chip in the socket lets its run go on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <functional>
#include <memory>

#include "base/memory_settings_store.h"
#include "bench_support.h"
#include "engine/operations/chip_operations.h"
#include "model/stored_model.h"
#include "ports/port_manager.h"
#include "ui/main_window.h"
#include "ui/theme_state.h"
#include "ui/user_dialogs.h"

namespace quillon::bench {
namespace {

// Dialogs nobody sees: a chip operation that shows one has gone wrong, which the run notes.
class SilentDialogs final : public UserDialogs {
  public:
    MessageAnswer show_message(std::string_view, MessageKind, std::string_view) override {
        ++messages;
        return MessageAnswer::Ok;
    }
    std::string ask_text(std::string_view, std::string_view, std::string_view) override { return {}; }
    std::string choose_file(const FileDialogRequest&) override { return {}; }
    int messages = 0;
};

// No serial ports: the window's load step finds none, and the counting port is attached instead.
class NoSerialPorts final : public PortProvider {
  public:
    PortOpenResult open(int, const std::string&) override {
        return failure(PortError{PortErrorKind::NoSuchDevice, "no serial ports in the benchmark"});
    }
    std::string describe(int) override { return {}; }
};

struct WindowRig {
    AppState state;
    ThemeState theme;
    MemorySettingsStore settings;
    SilentDialogs dialogs;
    UnsleepingClock clock;
    NoSerialPorts provider;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PortManager> ports;
    CountOnlyPort* port = nullptr;
    bool ready = false;

    WindowRig() {
        if (!select_supplied_model(state, "PIC18F452")) return;
        settings.put_text(kModelSetting.name, std::to_string(state.model_number));
        window = std::make_unique<MainWindow>(MainWindowServices{state, theme, settings, dialogs, clock});
        ports = std::make_unique<PortManager>(state, settings, window->host(), provider);
        window->set_port_manager(ports.get());
        window->load();
        auto counting = std::make_unique<CountOnlyPort>();
        port = counting.get();
        if (state.silicon.device_id) port->device_id = state.silicon.device_id->id;
        if (!ports->attach_port(std::move(counting), "Benchmark port").ok()) return;
        fill_full_image(state, 452);
        window->updatedisplay();
        QApplication::processEvents();
        ready = state.model_name == "PIC18F452";
    }

    QString status() const { return window->findChild<QLabel*>(QStringLiteral("label_status"))->text(); }
};

void report_changes(benchmark::State& state, std::int64_t changes) {
    state.counters["line_changes"] =
        static_cast<double>(changes / static_cast<std::int64_t>(state.iterations()));
    state.counters["ns_per_change"] = benchmark::Counter(
        static_cast<double>(changes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WindowProgramAll(benchmark::State& state, WindowRig& r) {
    if (!r.ready) {
        state.SkipWithError("the main window could not be set up with the PIC18F452 and the counting port");
        return;
    }
    const std::int64_t before = r.port->changes;
    for (auto _ : state) {
        r.window->run_operation(&program_all);
        if (!r.status().startsWith(QStringLiteral("Chip programmed. ")) || r.dialogs.messages != 0) {
            state.SkipWithError("program all did not complete in the window");
            return;
        }
    }
    report_changes(state, r.port->changes - before);
}
void BM_CoreProgramAll(benchmark::State& state, WindowRig& r) {
    if (!r.ready) {
        state.SkipWithError("the main window could not be set up with the PIC18F452 and the counting port");
        return;
    }
    SilentHost host;
    ChipSession session{r.state, host, r.clock, r.port};
    const std::int64_t before = r.port->changes;
    for (auto _ : state) {
        if (program_all(session) != RunOutcome::Completed) {
            state.SkipWithError("program all did not complete");
            return;
        }
    }
    report_changes(state, r.port->changes - before);
}
}  // namespace
}  // namespace quillon::bench

int main(int argc, char** argv) {
    using namespace quillon::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // One window for both, made after the application and gone before it.
    WindowRig rig;
    benchmark::RegisterBenchmark("BM_WindowProgramAll", BM_WindowProgramAll, std::ref(rig))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_CoreProgramAll", BM_CoreProgramAll, std::ref(rig))
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

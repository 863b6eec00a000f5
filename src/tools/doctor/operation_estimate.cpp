#include "tools/doctor/operation_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "backends/ftdi/modelled_ftdi_adapter.h"
#include "backends/recording/counting_port.h"
#include "backends/sim/chip_model.h"
#include "backends/sim/simulated_board.h"
#include "base/numbers.h"
#include "base/silent_host.h"
#include "engine/operations/chip_operations.h"
#include "model/reset_buffers.h"
#include "model/settings_catalog.h"

namespace quillon {

namespace {

// The fake clock as the scripts see it, adding up their sleeps. The port advances the fake clock
// by itself for each line change and read; that time is not a sleep.
class WaitCountingClock final : public Clock {
  public:
    explicit WaitCountingClock(FakeClock& inner) : inner_(inner) {}
    std::chrono::nanoseconds now() override { return inner_.now(); }
    void sleep_ms(std::int64_t milliseconds) override {
        waits += std::chrono::milliseconds(milliseconds);
        inner_.sleep_ms(milliseconds);
    }
    void wait_until(std::chrono::nanoseconds deadline) override {
        const std::chrono::nanoseconds before = inner_.now();
        inner_.wait_until(deadline);
        waits += inner_.now() - before;
    }
    std::chrono::nanoseconds waits{0};

  private:
    FakeClock& inner_;
};

// Lets every DSR read of the board take its time on the fake clock, as line changes do on the
// board itself.
class TimedReadPort final : public ProgrammerPort {
  public:
    TimedReadPort(ProgrammerPort& inner, FakeClock& clock, std::chrono::nanoseconds read_cost)
        : inner_(inner), clock_(clock), read_cost_(read_cost) {}
    void set_dtr(bool asserted) override { inner_.set_dtr(asserted); }
    void set_rts(bool asserted) override { inner_.set_rts(asserted); }
    bool read_dsr() override {
        clock_.advance(read_cost_);
        return inner_.read_dsr();
    }
    void write_byte(std::uint8_t value) override { inner_.write_byte(value); }
    bool failed() const override { return inner_.failed(); }
    std::string failure_text() const override { return inner_.failure_text(); }

  private:
    ProgrammerPort& inner_;
    FakeClock& clock_;
    std::chrono::nanoseconds read_cost_;
};

// A cost in microseconds as time on the fake clock. Never below 100 ns: a poll must let time pass,
// or a chip that is writing would never be seen to finish.
std::chrono::nanoseconds fake_time(double microseconds) {
    return std::chrono::nanoseconds(std::max<long long>(100, std::llround(microseconds * 1000.0)));
}

// Random bytes fill FLASH and EEPROM, the last byte of each never erased, so that no script stops
// early at an erased tail; configuration bytes keep the model's erased values (00 where the chip
// has none, as it reads them).
void fill_whole_chip(AppState& state, const ChipModel& chip) {
    reset_buffers(state);
    std::mt19937 random(20240611u);
    MemoryImage& image = state.image;
    for (std::uint8_t& byte : image.flash)
        byte = static_cast<std::uint8_t>(random() & 0xFF);
    for (std::uint8_t& byte : image.eeprom)
        byte = static_cast<std::uint8_t>(random() & 0xFF);
    if (!image.flash.empty()) image.flash.back() = 0x00;
    if (!image.eeprom.empty()) image.eeprom.back() = 0x00;
    for (int k = 1; k <= kConfigByteCount; ++k)
        if (!chip.has_config(k - 1)) image.config(k) = 0x00;
}

std::string not_run_through(Operation operation, const std::string& model) {
    return std::string("the ") + operation_name(operation) + " script of " + model +
           " did not run through on the simulated chip (quillon-cli check-devices tells why)";
}

}  // namespace

OperationCounts count_operations_on_ftdi(const AppState& state) {
    OperationCounts counts;
    counts.model = state.model_name;
    const std::optional<ChipModel> chip_model = find_chip_model(state.model_name);
    if (!chip_model) {
        counts.unavailable = "the simulated board has no " + state.model_name + " chip to count on";
        return counts;
    }
    AppState run = state;
    int baud = leading_int32(run.baud_setting);
    if (baud <= 0) baud = leading_int32(kBaudRateSetting.default_value);
    FakeClock clock;
    SimLog log;
    CountingPort* chip_lines = nullptr;
    SimulatedBoardSetup setup{clock, log};
    setup.ftdi_baud = baud;
    setup.chip_side = [&chip_lines](ProgrammerPort& board) {
        auto counting = std::make_unique<CountingPort>(board);
        chip_lines = counting.get();
        return counting;
    };
    const SimulatedBoard built = build_simulated_board(*chip_model, setup);
    if (built.port().failed()) {
        counts.unavailable = built.port().failure_text();
        return counts;
    }
    const ModelledFtdiAdapter& adapter = *built.ftdi_adapter();
    WaitCountingClock session_clock(clock);
    SilentHost host;
    ChipSession session{run, host, session_clock, &built.port()};
    run.port_open = true;
    fill_whole_chip(run, *chip_model);
    for (const Operation operation : {Operation::Program, Operation::Read, Operation::Verify}) {
        chip_lines->reset_counts();
        session_clock.waits = {};
        const std::chrono::nanoseconds start = clock.now();
        const std::int64_t trips = adapter.round_trips();
        if (run_algorithm(session, operation) != RunOutcome::Completed) {
            counts.operations.clear();
            counts.unavailable = not_run_through(operation, state.model_name);
            return counts;
        }
        OperationCount count{operation, chip_lines->changes(), 0, session_clock.waits};
        count.modelled = clock.now() - start;
        count.round_trips = adapter.round_trips() - trips;
        counts.operations.push_back(count);
    }
    return counts;
}

PortCost modelled_ftdi_cost() {
    return {"FTDI adapter, bit-bang (--port ftdi)", 0, 0};
}

OperationCounts count_operations(const AppState& state, const PortCost& cost) {
    OperationCounts counts;
    counts.model = state.model_name;
    const std::optional<ChipModel> chip_model = find_chip_model(state.model_name);
    if (!chip_model) {
        counts.unavailable = "the simulated board has no " + state.model_name + " chip to count on";
        return counts;
    }
    AppState run = state;
    FakeClock clock;
    SimLog log;
    SimulatedBoardSetup setup{clock, log};
    setup.change_cost = fake_time(cost.change_us);
    const SimulatedBoard built = build_simulated_board(*chip_model, setup);
    TimedReadPort timed_board(built.port(), clock, fake_time(cost.read_us));
    CountingPort port(timed_board);
    WaitCountingClock session_clock(clock);
    SilentHost host;
    ChipSession session{run, host, session_clock, &port};
    run.port_open = true;
    fill_whole_chip(run, *chip_model);

    // Verify runs last, on the chip that program wrote and read left alone; read refills the
    // buffers with what it finds, which is the same image.
    for (const Operation operation : {Operation::Program, Operation::Read, Operation::Verify}) {
        port.reset_counts();
        session_clock.waits = {};
        if (run_algorithm(session, operation) != RunOutcome::Completed) {
            counts.operations.clear();
            counts.unavailable = not_run_through(operation, state.model_name);
            return counts;
        }
        counts.operations.push_back({operation, port.changes(), port.reads(), session_clock.waits});
    }
    return counts;
}

PortCost typical_uart_cost() {
    return {"built-in UART (typical)", 5, 5};
}

PortCost typical_usb_cost() {
    return {"USB adapter (typical)", 1000, 1000};
}

std::chrono::nanoseconds estimated_time(const OperationCount& count, const PortCost& cost) {
    if (count.modelled) return *count.modelled;
    const double line_us = static_cast<double>(count.line_changes) * cost.change_us +
                           static_cast<double>(count.dsr_reads) * cost.read_us;
    return count.waits + std::chrono::nanoseconds(std::llround(line_us * 1000.0));
}

std::string run_time_text(std::chrono::nanoseconds time) {
    const double seconds = std::chrono::duration<double>(time).count();
    char text[48];
    if (seconds < 59.95) {  // what would print as 60.0 s reads as a minute
        std::snprintf(text, sizeof text, "%.1f s", seconds);
        return text;
    }
    const long long whole = std::llround(seconds);
    if (whole < 3600) {
        std::snprintf(text, sizeof text, "%lld min %lld s", whole / 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld h %lld min", whole / 3600, (whole % 3600) / 60);
    }
    return text;
}

}  // namespace quillon

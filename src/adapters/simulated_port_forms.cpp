#include "adapters/simulated_port_forms.h"

#include <filesystem>
#include <memory>

#include "adapters/ftdi_port_form.h"
#include "adapters/serial_port_forms.h"
#include "backends/recording/vcd_trace_port.h"
#include "backends/sim/chip_hex.h"
#include "hexfile/file_io.h"
#include "ports/port_status.h"

namespace quillon {

namespace {

// The chip the board holds, with what its file kept; nothing to report until the board is built.
struct KeptChip {
    ChipModel model;
    std::optional<ChipMemory> memory;  // from the file; none for a chip that starts erased
};

Result<KeptChip, PortFormError> kept_chip(const PortOpening& opening, const std::string& chip_file) {
    const std::optional<ChipModel> model = find_chip_model(opening.simulated_model);
    if (!model) {
        std::string known;
        for (const std::string& name : chip_model_names())
            known += (known.empty() ? "" : ", ") + name;
        return failure(PortFormError{
            PortFormError::Kind::BadInput,
            "the simulated board has no " + opening.simulated_model + " chip; it knows " + known});
    }
    KeptChip chip{*model, std::nullopt};
    std::error_code error;
    if (!chip_file.empty() && std::filesystem::exists(path_from_utf8(chip_file), error)) {
        ChipMemory memory;
        Result<> loaded = load_chip_file(chip_file, *model, memory);
        if (!loaded.ok())
            return failure(PortFormError{PortFormError::Kind::BadInput, loaded.error().message});
        chip.memory = std::move(memory);
    }
    return chip;
}

// Hands the board's port to the manager under `name`; the board stays with the opening, whose
// chip the run works on.
Result<void, PortFormError> attach(PortOpening& opening, SimulatedBoard board, KeptChip& chip,
                                   const std::string& chip_file, const std::string& name) {
    if (chip.memory) board.chip().memory() = std::move(*chip.memory);
    opening.clock = &opening.virtual_clock;
    opening.chip_file = chip_file;
    std::unique_ptr<ProgrammerPort> port = board.take_port();
    opening.simulated = std::move(board);
    if (port->failed()) {
        opening.host.set_status(port_status_text(name, PortStatus::Error));
        return told(opening.host, opening.state,
                    {PortErrorKind::Failed, name + " cannot be used: " + port->failure_text() + "."});
    }
    const Result<void, PortError> attached = opening.manager.attach_port(std::move(port), name);
    if (!attached.ok()) return told(opening.host, opening.state, attached.error());
    return {};
}

DoctorReport nothing_to_check(DoctorTarget& target, std::string finding) {
    target.chosen_by = "--port";
    DoctorReport report;
    report.checks.push_back({"port", Verdict::Ok, std::move(finding), {}});
    return report;
}

}  // namespace

Result<void, PortFormError> open_simulated_board(const PortChoice& choice, PortOpening& opening) {
    Result<KeptChip, PortFormError> chip = kept_chip(opening, choice.argument);
    if (!chip.ok()) return failure(chip.error());
    SimulatedBoard board = build_simulated_board(chip->model, {opening.virtual_clock, opening.sim_log});
    return attach(opening, std::move(board), *chip, choice.argument,
                  simulated_board_name(chip->model.name, choice.argument));
}

// The real FTDI port drives the board through the modelled FT232R, and the run's time is the
// modelled USB's.
Result<void, PortFormError> open_simulated_ftdi_board(const PortChoice& choice, PortOpening& opening) {
    const Result<int, PortFormError> baud = programmer_baud_rate(opening);
    if (!baud.ok()) return failure(baud.error());
    Result<KeptChip, PortFormError> chip = kept_chip(opening, choice.argument);
    if (!chip.ok()) return failure(chip.error());
    SimulatedBoardSetup setup{opening.virtual_clock, opening.sim_log};
    setup.ftdi_baud = *baud;
    if (opening.trace != nullptr) {
        // Between the adapter and the board, the trace records the lines as the chip sees them.
        setup.chip_side = [&opening](ProgrammerPort& board) {
            return std::make_unique<VcdTracePort>(board, opening.virtual_clock, *opening.trace);
        };
        opening.traced = true;
    }
    SimulatedBoard board = build_simulated_board(chip->model, setup);
    const std::string name = "Simulated board on a modelled FTDI adapter (" + chip->model.name +
                             (choice.argument.empty() ? std::string() : ", " + choice.argument) + ")";
    return attach(opening, std::move(board), *chip, choice.argument, name);
}

DoctorReport examine_simulated_board(const PortChoice&, DoctorSetup&, DoctorTarget& target) {
    return nothing_to_check(target, "the simulated board: there is no serial port to check");
}

DoctorReport examine_simulated_ftdi_board(const PortChoice&, DoctorSetup&, DoctorTarget& target) {
    return nothing_to_check(target,
                            "the simulated board on a modelled FTDI adapter: there is no adapter to check");
}

}  // namespace quillon

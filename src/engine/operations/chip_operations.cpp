#include "engine/operations/chip_operations.h"

#include <algorithm>
#include <optional>

#include "engine/operations/keep_eeprom.h"
#include "engine/operations/operation_texts.h"
#include "engine/operations/socket_check.h"
#include "engine/script/programmer_lines.h"
#include "engine/script/run_progress.h"
#include "engine/script/script_interpreter.h"
#include "engine/script/script_program.h"
#include "model/protection.h"
#include "model/reset_buffers.h"

namespace quillon {

namespace {

bool is_check(Operation operation) {
    return operation == Operation::BlankCheck || operation == Operation::Verify;
}

// A word that is no instruction has a message of its own; both refuse the script.
RunOutcome refusal(const ScriptProgram& program) {
    const bool unrecognized = std::any_of(
        program.problems.begin(), program.problems.end(),
        [](const ScriptProblem& problem) { return problem.kind == ScriptProblemKind::Unrecognized; });
    return unrecognized ? RunOutcome::ScriptUnrecognized : RunOutcome::ScriptRefused;
}

// The run fields as the first instruction finds them: the script, address 0, full loop ends.
void set_up_run(AppState& state, const AlgorithmScript& script) {
    state.run_script = script;
    state.run_length = static_cast<std::int32_t>(script.size());
    state.run_address = 0;
    state.last_flash_address = state.flash_size - 1;
    state.last_eeprom_address = state.eeprom_size - 1;
}

// A stop asked for between two instructions ends the run before the next one. The reads a
// batching port still holds are delivered before the run counts as ended.
void step_to_end(AppState& state, ScriptInterpreter& interpreter, const ScriptProgram& program) {
    state.run_pc = 1;
    do {
        while (state.run_pc <= state.run_length && interpreter.fault() == RunFault::None) {
            if (interpreter.stop_if_requested()) break;
            interpreter.script_step(program);
        }
        interpreter.settle_reads();
    } while (state.run_pc <= state.run_length && interpreter.fault() == RunFault::None);
}

// Ends a run that stopped early: brings back the image a read had started to overwrite, powers the
// chip down where the port still works, and tells the user.
RunOutcome end_early(ChipSession& session, Operation operation, ScriptInterpreter& interpreter,
                     const std::optional<MemoryImage>& image_before_read) {
    AppState& state = session.state;
    if (image_before_read) {
        state.image = *image_before_read;
        session.host.updatedisplay();
    }
    interpreter.power_down_after_fault();
    session.host.enable();
    if (interpreter.fault() == RunFault::PortFailed || session.port->failed()) {
        state.port_open = false;
        report_port_failure(session.host, state,
                            interpreter.fault() == RunFault::PortFailed ? interpreter.fault_text()
                                                                        : session.port->failure_text());
        return RunOutcome::PortFailed;
    }
    if (interpreter.fault() == RunFault::Stopped) {
        report_stop(session.host, operation, interpreter.last_caption());
        return RunOutcome::Stopped;
    }
    report_stopped_run(session.host, state, interpreter.fault_text());
    return RunOutcome::Fault;
}

// The model's power-up order as the file gives it, for the message when it gives none.
std::string voltage_text(const AppState& state) {
    if (state.model_number < 1 ||
        state.model_number >= static_cast<std::int32_t>(state.catalog.models.size()))
        return {};
    return state.catalog.models[static_cast<std::size_t>(state.model_number)].voltageseq;
}

}  // namespace

std::string elapsed_text(std::chrono::nanoseconds elapsed) {
    const std::int64_t total = std::max<std::int64_t>(elapsed.count(), 0);
    const std::int64_t seconds = total / 1'000'000'000;
    const std::int64_t hundredths = total % 1'000'000'000 / 10'000'000;
    return std::to_string(seconds) + (hundredths < 10 ? ".0" : ".") + std::to_string(hundredths);
}

namespace {

// The regions a run covers, for as long as it lasts; later runs cover all three again.
class RegionsOfRun {
  public:
    RegionsOfRun(AppState& state, const MemoryRegions& regions) : state_(state) {
        state_.run_regions = regions;
    }
    ~RegionsOfRun() { state_.run_regions = kAllRegions; }
    RegionsOfRun(const RegionsOfRun&) = delete;
    RegionsOfRun& operator=(const RegionsOfRun&) = delete;

  private:
    AppState& state_;
};

// A read starts from erased buffers for the regions it covers; the others keep what they hold.
void clear_read_regions(AppState& state, const MemoryImage& before) {
    reset_buffers(state);
    const MemoryRegions& regions = state.run_regions;
    if (!regions.flash) {
        state.image.flash = before.flash;
        state.image.loaded_flash_end = before.loaded_flash_end;
    }
    if (!regions.eeprom) state.image.eeprom = before.eeprom;
    if (!regions.config) state.image.config = before.config;
}

// Runs `script` as `operation`, or as the configuration-only run that sets protection after a
// verify (a check of its own).
RunOutcome run_script(ChipSession& session, Operation operation, const AlgorithmScript& script,
                      bool configuration_only, std::string_view note = {}) {
    AppState& state = session.state;
    Host& host = session.host;
    if (!state.port_open || session.port == nullptr) {
        report_port_closed(host, state);
        return RunOutcome::PortClosed;
    }
    const ScriptProgram program = compile_script(
        script,
        {state.flash_size, state.page_size, state.prog_time_ms, state.voltage_sequence, voltage_text(state)});
    if (!program.runnable()) {
        const RunOutcome outcome = refusal(program);
        report_refused_script(host, state, operation, program, outcome);
        return outcome;
    }

    set_up_run(state, script);
    const std::chrono::nanoseconds start = session.clock.now();
    ProgrammerLines lines(*session.port, host, session.clock);
    ScriptInterpreter interpreter(state, lines, host);
    interpreter.begin_run();
    const bool checks = configuration_only || is_check(operation);
    if (checks) interpreter.reset_mismatch_report();
    host.disable();
    if (configuration_only) {
        report_configuration_start(host);
    } else {
        report_start(host, operation);
    }

    // A read replaces the image; keep the old one until the read has completed.
    std::optional<MemoryImage> image_before_read;
    if (operation == Operation::Read) {
        image_before_read = state.image;
        clear_read_regions(state, *image_before_read);
        host.updatedisplay();
        host.yield();
    }
    const RunPlan plan = plan_run(program, state);
    interpreter.track_progress(plan, start);
    host.show_progress(progress_at(plan, 0, 0, {}));
    step_to_end(state, interpreter, program);
    if (interpreter.fault() != RunFault::None)
        return end_early(session, operation, interpreter, image_before_read);

    host.enable();
    const ProtectedAreas& areas = interpreter.protected_areas();
    const RunOutcome outcome = checks && (state.mismatch_count() > 0 || !areas.empty())
                                   ? RunOutcome::Differences
                                   : RunOutcome::Completed;
    const std::chrono::nanoseconds elapsed = session.clock.now() - start;
    if (configuration_only) {
        report_configuration_result(host, state, outcome, elapsed);
    } else {
        report_result(host, state, operation, outcome, elapsed, areas_text(state.silicon, areas), note);
    }
    if (operation == Operation::Read) {
        host.updatedisplay();
        host.yield();
        const ProtectedAreas read_protected = protected_areas(state.silicon, state.image.config);
        if (!read_protected.empty()) report_read_protection(host, areas_text(state.silicon, read_protected));
    }
    return outcome;
}

}  // namespace

RunOutcome run_algorithm(ChipSession& session, Operation operation) {
    if (const std::optional<RunOutcome> refused = check_socket(session, operation)) return *refused;
    return run_script(session, operation, session.state.script_for(operation), false);
}

RunOutcome run_algorithm(ChipSession& session, Operation operation, const MemoryRegions& regions) {
    if (const std::optional<RunOutcome> refused = check_socket(session, operation)) return *refused;
    const std::string note = regions.all() ? std::string() : regions_text(regions) + " only";
    return run_script_over(session, operation, session.state.script_for(operation), regions, note);
}

RunOutcome run_script_over(ChipSession& session, Operation operation, const AlgorithmScript& script,
                           const MemoryRegions& regions, std::string_view note) {
    const RegionsOfRun covered(session.state, regions);
    return run_script(session, operation, script, false, note);
}

RunOutcome program_and_verify(ChipSession& session, const std::function<void()>& run_ended,
                              const ProgramChoice& choice) {
    AppState& state = session.state;
    // The chip is asked who it is once, before anything is written; the runs below do not ask again.
    if (const std::optional<RunOutcome> refused = check_socket(session, Operation::Program)) {
        if (run_ended) run_ended();
        return *refused;
    }
    ChipSession checked = session;
    checked.socket = nullptr;
    const auto run = [&checked, &run_ended, &choice](Operation operation) {
        RunOutcome outcome = RunOutcome::Completed;
        if (!choice.keep_eeprom) {
            outcome = run_algorithm(checked, operation);
        } else if (operation == Operation::Program) {
            outcome = program_keeping_eeprom(checked, choice.backup);
        } else {
            outcome = run_algorithm(checked, operation, kWithoutEeprom);
        }
        if (run_ended) run_ended();
        return outcome;
    };
    if (state.config_script.empty() || !sets_protection(state.silicon, state.image.config)) {
        const RunOutcome programmed = run(Operation::Program);
        return programmed == RunOutcome::Completed ? run(Operation::Verify) : programmed;
    }
    // Protected code reads 00, so everything is written and verified with the protection held back;
    // the configuration-only script then writes the configuration as the image has it, and checks it.
    const ConfigValues wanted = state.image.config;
    state.image.config = without_protection(state.silicon, wanted);
    RunOutcome outcome = run(Operation::Program);
    if (outcome == RunOutcome::Completed) outcome = run(Operation::Verify);
    state.image.config = wanted;
    if (outcome != RunOutcome::Completed) return outcome;
    outcome = run_script(session, Operation::Program, state.config_script, true);
    if (outcome == RunOutcome::Completed) {
        const ProtectedAreas areas = protected_areas(state.silicon, wanted);
        if (!areas.empty()) report_protection_set(session.host, areas_text(state.silicon, areas));
    }
    if (run_ended) run_ended();
    return outcome;
}

RunOutcome program_all(ChipSession& session) {
    return run_algorithm(session, Operation::Program);
}
RunOutcome read_all(ChipSession& session) {
    return run_algorithm(session, Operation::Read);
}
RunOutcome erase_all(ChipSession& session) {
    return run_algorithm(session, Operation::Erase);
}
RunOutcome blank_check(ChipSession& session) {
    return run_algorithm(session, Operation::BlankCheck);
}
RunOutcome verify_chip(ChipSession& session) {
    return run_algorithm(session, Operation::Verify);
}

}  // namespace quillon

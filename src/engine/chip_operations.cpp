#include "engine/chip_operations.h"

#include <algorithm>
#include <optional>

#include "engine/operation_texts.h"
#include "engine/programmer_lines.h"
#include "engine/script_interpreter.h"
#include "engine/script_program.h"
#include "model/reset_buffers.h"

namespace quillon {

namespace {

bool is_check(Operation operation) {
    return operation == Operation::BlankCheck || operation == Operation::Verify;
}

// A word that is no instruction ends the program; any other problem only refuses the script.
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

void step_to_end(AppState& state, ScriptInterpreter& interpreter, const ScriptProgram& program) {
    state.run_pc = 1;
    do {
        while (state.run_pc <= state.run_length && interpreter.fault() == RunFault::None) {
            interpreter.script_step(program);
        }
        interpreter.settle_reads();
    } while (state.run_pc <= state.run_length && interpreter.fault() == RunFault::None);
}

// Ends a run that stopped early: brings back the image a failed read had started to overwrite,
// powers the chip down where the port still works, and tells the user.
RunOutcome end_faulted_run(ChipSession& session, ScriptInterpreter& interpreter,
                           const std::optional<MemoryImage>& image_before_read) {
    AppState& state = session.state;
    if (image_before_read) {
        state.image = *image_before_read;
        session.host.updatedisplay();
    }
    session.host.enable();
    if (interpreter.fault() == RunFault::PortFailed) {
        state.port_open = false;
        report_port_failure(session.host, state, interpreter.fault_text());
        return RunOutcome::PortFailed;
    }
    interpreter.power_down_after_fault();
    report_stopped_run(session.host, state, interpreter.fault_text());
    return RunOutcome::Fault;
}

}  // namespace

std::string elapsed_text(std::chrono::nanoseconds elapsed) {
    const std::int64_t total = std::max<std::int64_t>(elapsed.count(), 0);
    const std::int64_t seconds = total / 1'000'000'000;
    const std::int64_t hundredths = total % 1'000'000'000 / 10'000'000;
    return std::to_string(seconds) + (hundredths < 10 ? ".0" : ".") + std::to_string(hundredths);
}

RunOutcome run_algorithm(ChipSession& session, Operation operation) {
    AppState& state = session.state;
    Host& host = session.host;
    if (!state.port_open || session.port == nullptr) {
        report_port_closed(host, state);
        return RunOutcome::PortClosed;
    }
    const AlgorithmScript& script = state.script_for(operation);
    const ScriptProgram program =
        compile_script(script, {state.flash_size, state.page_size, state.prog_time_ms});
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
    if (is_check(operation)) interpreter.reset_mismatch_report();
    host.disable();
    report_start(host, operation);

    // A read replaces the image; keep the old one until the read has completed.
    std::optional<MemoryImage> image_before_read;
    if (operation == Operation::Read) {
        image_before_read = state.image;
        reset_buffers(state);
        host.updatedisplay();
        host.yield();
    }
    step_to_end(state, interpreter, program);
    if (interpreter.fault() != RunFault::None)
        return end_faulted_run(session, interpreter, image_before_read);

    host.enable();
    const RunOutcome outcome =
        is_check(operation) && state.mismatch_count() > 0 ? RunOutcome::Differences : RunOutcome::Completed;
    report_result(host, state, operation, outcome, session.clock.now() - start);
    if (operation == Operation::Read) {
        host.updatedisplay();
        host.yield();
    }
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

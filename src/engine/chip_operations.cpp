#include "engine/chip_operations.h"

#include <optional>

#include "engine/mismatch_report.h"
#include "engine/programmer_lines.h"
#include "engine/script_interpreter.h"
#include "engine/script_program.h"
#include "model/reset_buffers.h"

namespace quillon {

namespace {

struct OperationTexts {
    const char* start;
    const char* success;
    const char* failure;        // status line when a check found differences
    const char* failure_first;  // first line of the message with the report
};

OperationTexts texts_for(Operation operation) {
    switch (operation) {
        case Operation::Program:
            return {"Begin program all.", "Chip programmed. ", nullptr, nullptr};
        case Operation::Read:
            return {"Begin read all.", "Chip read. ", nullptr, nullptr};
        case Operation::Erase:
            return {"Begin erase all.", "Chip erased. ", nullptr, nullptr};
        case Operation::BlankCheck:
            return {"Begin blank check.", "Chip is blank. ", "Chip is not blank. ", "Chip is not blank:"};
        case Operation::Verify:
            return {"Begin verify.", "Chip verified. ", "Chip verify failed. ", "Chip verify failed:"};
    }
    return {"", "", nullptr, nullptr};
}

const char* const kCrLf = "\r\n";

// Refuses a script that cannot run before anything touches the chip.
RunOutcome refuse_script(ChipSession& session, Operation operation, const ScriptProgram& program) {
    AppState& state = session.state;
    for (const ScriptProblem& problem : program.problems) {
        if (problem.kind == ScriptProblemKind::Unrecognized) {
            session.host.show_message(
                "Unrecognized symbolic instruction '" + problem.word + "'." + kCrLf + "The program must end.",
                MessageKind::Error, state.product_title);
            return RunOutcome::ScriptUnrecognized;
        }
    }
    std::string message = "The " + std::string(operation_name(operation)) + " script of " + state.model_name +
                          " cannot run, so the chip was not touched:";
    for (const ScriptProblem& problem : program.problems)
        message += kCrLf + problem.text;
    session.host.set_status("Script error! The chip was not touched.");
    session.host.show_message(message, MessageKind::Error, state.product_title);
    return RunOutcome::ScriptRefused;
}

// Ends a run that stopped early: powers the chip down where the port still works, brings back the
// image a failed read had started to overwrite, and tells the user.
RunOutcome end_faulted_run(ChipSession& session, ScriptInterpreter& interpreter,
                           const MemoryImage* image_before_read) {
    AppState& state = session.state;
    if (image_before_read != nullptr) {
        state.image = *image_before_read;
        session.host.updatedisplay();
    }
    session.host.enable();
    if (interpreter.fault() == RunFault::PortFailed) {
        state.port_open = false;
        const std::string port_name = state.port_label.empty()
                                          ? "Serial port COM" + std::to_string(state.port_number)
                                          : state.port_label;
        session.host.set_status(port_name + " error!");
        std::string text = "The programmer port stopped working during the operation";
        const std::string cause = interpreter.fault_text();
        text += cause.empty() ? "." : ": " + cause + ".";
        text += std::string(kCrLf) +
                "The operation was not finished. Reconnect the programmer and choose the "
                "serial port again.";
        session.host.show_message(text, MessageKind::Error, state.product_title);
        return RunOutcome::PortFailed;
    }
    interpreter.power_down_after_fault();
    session.host.set_status("Operation stopped! The chip was powered down.");
    session.host.show_message(interpreter.fault_text(), MessageKind::Error, state.product_title);
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
        host.set_status("Serial port " + std::to_string(state.port_number) + " error!");
        return RunOutcome::PortClosed;
    }

    const AlgorithmScript& script = state.script_for(operation);
    const ScriptProgram program =
        compile_script(script, {state.flash_size, state.page_size, state.prog_time_ms});
    if (!program.runnable()) return refuse_script(session, operation, program);

    state.run_script = script;
    state.run_length = static_cast<std::int32_t>(script.size());
    state.run_address = 0;
    state.last_flash_address = state.flash_size - 1;
    state.last_eeprom_address = state.eeprom_size - 1;
    const std::chrono::nanoseconds start = session.clock.now();

    ProgrammerLines lines(*session.port, host, session.clock);
    ScriptInterpreter interpreter(state, lines, host);
    interpreter.begin_run();
    const bool checks = operation == Operation::BlankCheck || operation == Operation::Verify;
    if (checks) interpreter.reset_mismatch_report();

    host.disable();
    const OperationTexts texts = texts_for(operation);
    host.set_status(texts.start);
    host.yield();

    // A read replaces the image; keep the old one until the read has completed.
    std::optional<MemoryImage> image_before_read;
    if (operation == Operation::Read) {
        image_before_read = state.image;
        reset_buffers(state);
        host.updatedisplay();
        host.yield();
    }

    state.run_pc = 1;
    while (state.run_pc <= state.run_length && interpreter.fault() == RunFault::None) {
        interpreter.script_step(program);
    }
    if (interpreter.fault() != RunFault::None) {
        return end_faulted_run(session, interpreter, image_before_read ? &*image_before_read : nullptr);
    }

    host.enable();
    const std::string elapsed = elapsed_text(session.clock.now() - start) + " seconds elapsed...";
    if (checks && state.mismatch_count() > 0) {
        host.set_status(texts.failure + elapsed);
        host.yield();
        host.show_message(
            std::string(texts.failure_first) + kCrLf + kCrLf + mismatch_report(state.mismatch_rows),
            MessageKind::Error, "");
        return RunOutcome::Differences;
    }
    host.set_status(texts.success + elapsed);
    host.yield();
    if (operation == Operation::Read) {
        host.updatedisplay();
        host.yield();
    }
    return RunOutcome::Completed;
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

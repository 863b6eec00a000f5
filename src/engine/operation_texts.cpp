#include "engine/operation_texts.h"

#include <string>

#include "engine/mismatch_report.h"
#include "engine/port_status.h"

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

}  // namespace

void report_port_closed(Host& host, const AppState& state) {
    host.set_status(closed_port_text(state.port_number));
}

void report_refused_script(Host& host, const AppState& state, Operation operation,
                           const ScriptProgram& program, RunOutcome outcome) {
    if (outcome == RunOutcome::ScriptUnrecognized) {
        for (const ScriptProblem& problem : program.problems) {
            if (problem.kind != ScriptProblemKind::Unrecognized) continue;
            host.show_message(
                "Unrecognized symbolic instruction '" + problem.word + "'." + kCrLf + "The program must end.",
                MessageKind::Error, state.product_title);
            return;
        }
    }
    std::string message = "The " + std::string(operation_name(operation)) + " script of " + state.model_name +
                          " cannot run, so the chip was not touched:";
    for (const ScriptProblem& problem : program.problems)
        message += kCrLf + problem.text;
    host.set_status("Script error! The chip was not touched.");
    host.show_message(message, MessageKind::Error, state.product_title);
}

void report_start(Host& host, Operation operation) {
    host.set_status(texts_for(operation).start);
    host.yield();
}

void report_port_failure(Host& host, const AppState& state, std::string_view cause) {
    host.set_status(
        port_status_text(state.port_label.empty() ? serial_port_name(state.port_number) : state.port_label,
                         PortStatus::Error));
    std::string text = "The programmer port stopped working during the operation";
    text += cause.empty() ? "." : ": " + std::string(cause) + ".";
    text += std::string(kCrLf) +
            "The operation was not finished. Reconnect the programmer and choose the "
            "serial port again.";
    host.show_message(text, MessageKind::Error, state.product_title);
}

void report_stopped_run(Host& host, const AppState& state, std::string_view fault_text) {
    host.set_status("Operation stopped! The chip was powered down.");
    host.show_message(fault_text, MessageKind::Error, state.product_title);
}

void report_result(Host& host, const AppState& state, Operation operation, RunOutcome outcome,
                   std::chrono::nanoseconds elapsed) {
    const OperationTexts texts = texts_for(operation);
    const std::string seconds = elapsed_text(elapsed) + " seconds elapsed...";
    if (outcome == RunOutcome::Differences) {
        host.set_status(texts.failure + seconds);
        host.yield();
        host.show_message(
            std::string(texts.failure_first) + kCrLf + kCrLf + mismatch_report(state.mismatch_rows),
            MessageKind::Error, "");
        return;
    }
    host.set_status(texts.success + seconds);
    host.yield();
}

}  // namespace quillon

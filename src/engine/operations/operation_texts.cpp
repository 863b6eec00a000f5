#include "engine/operations/operation_texts.h"

#include <charconv>
#include <string>

#include "base/hex_text.h"
#include "engine/script/mismatch_report.h"
#include "ports/port_status.h"

namespace quillon {

namespace {

struct OperationTexts {
    const char* start;
    const char* success;
    const char* failure;        // status line when a check found differences
    const char* failure_first;  // first line of the message with the report
    const char* name;           // the operation as a stop names it
};

OperationTexts texts_for(Operation operation) {
    switch (operation) {
        case Operation::Program:
            return {"Begin program all.", "Chip programmed. ", nullptr, nullptr, "Program all"};
        case Operation::Read:
            return {"Begin read all.", "Chip read. ", nullptr, nullptr, "Read all"};
        case Operation::Erase:
            return {"Begin erase all.", "Chip erased. ", nullptr, nullptr, "Erase all"};
        case Operation::BlankCheck:
            return {"Begin blank check.", "Chip is blank. ", "Chip is not blank. ",
                    "Chip is not blank:", "Blank check"};
        case Operation::Verify:
            return {"Begin verify.", "Chip verified. ", "Chip verify failed. ",
                    "Chip verify failed:", "Verify"};
    }
    return {"", "", nullptr, nullptr, ""};
}

// Where a stopped run was, in the user's terms, from its last progress caption: "F:41/128" is at
// FLASH address 000028, "E:3/256" in the EEPROM at address 0002, "CONF1L:" at CONFIG1L. Without
// a caption the run had not come to the chip's memories yet.
std::string stop_place(Operation operation, std::string_view caption) {
    const auto address = [caption]() -> std::int32_t {
        std::int32_t count = 0;
        const char* first = caption.data() + 2;
        const auto [end, error] = std::from_chars(first, caption.data() + caption.size(), count);
        return error == std::errc() && end != first && count > 0 ? count - 1 : 0;
    };
    if (caption.starts_with("F:")) return "at FLASH address " + hex6(address());
    if (caption.starts_with("E:")) return "in the EEPROM at address " + hex4(address());
    if (caption.starts_with("CONF") && caption.size() >= 6)
        return "at configuration byte CONFIG" + std::string(caption.substr(4, 2));
    switch (operation) {
        case Operation::Program:
            return "before the chip was programmed";
        case Operation::Erase:
            return "before the erase had finished; the chip may be partly erased";
        case Operation::Read:
        case Operation::BlankCheck:
        case Operation::Verify:
            break;
    }
    return "before the chip was read";
}

const char* const kCrLf = "\r\n";
const char* const kScriptErrorStatus = "Script error! The chip was not touched.";

// The configuration-only run that sets protection after a verify.
constexpr OperationTexts kConfigurationTexts{"Begin configuration.", "Configuration written. ",
                                             "Configuration write failed. ",
                                             "Configuration write failed:", "Configuration write"};

// "Chip verified. " with `note` becomes "Chip verified (FLASH only). ".
std::string with_note(const char* text, std::string_view note) {
    std::string result(text);
    if (note.empty() || !result.ends_with(". ")) return result;
    result.resize(result.size() - 2);
    return result + " (" + std::string(note) + "). ";
}

void show_result(Host& host, const AppState& state, const OperationTexts& texts, RunOutcome outcome,
                 std::chrono::nanoseconds elapsed, std::string_view protected_areas, std::string_view note) {
    const std::string seconds = elapsed_text(elapsed) + " seconds elapsed...";
    if (outcome == RunOutcome::Differences) {
        host.set_status(with_note(texts.failure, note) + seconds);
        host.yield();
        std::string message = std::string(texts.failure_first) + kCrLf + kCrLf;
        if (!protected_areas.empty()) {
            message += "The chip is code-protected: " + std::string(protected_areas) +
                       " read as 00, so the bytes there cannot be compared." + kCrLf + kCrLf;
        }
        if (protected_areas.empty() || !state.mismatch_rows.empty())
            message += mismatch_report(state.mismatch_rows);
        host.show_message(message, MessageKind::Error, "");
        return;
    }
    host.set_status(with_note(texts.success, note) + seconds);
    host.yield();
}

}  // namespace

void report_port_closed(Host& host, const AppState& state) {
    host.set_status(closed_port_text(state.port_number));
}

void report_refused_script(Host& host, const AppState& state, Operation operation,
                           const ScriptProgram& program, RunOutcome outcome) {
    if (outcome == RunOutcome::ScriptUnrecognized) {
        for (const ScriptProblem& problem : program.problems) {
            if (problem.kind != ScriptProblemKind::Unrecognized) continue;
            // The message is the one this instruction has always had; the program goes on all the
            // same, as nothing was touched and the buffers may hold unsaved work.
            host.set_status(kScriptErrorStatus);
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
    host.set_status(kScriptErrorStatus);
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

void report_stop(Host& host, Operation operation, std::string_view last_caption) {
    std::string text =
        std::string(texts_for(operation).name) + " stopped " + stop_place(operation, last_caption);
    text += ".";
    // A read gives the buffers back as they were; say so, as the tables showed them erased.
    if (operation == Operation::Read) text += " The buffers are as they were.";
    host.set_status(text);
    host.yield();
}

void report_stopped_run(Host& host, const AppState& state, std::string_view fault_text) {
    host.set_status("Operation stopped! The chip was powered down.");
    host.show_message(fault_text, MessageKind::Error, state.product_title);
}

void report_result(Host& host, const AppState& state, Operation operation, RunOutcome outcome,
                   std::chrono::nanoseconds elapsed, std::string_view protected_areas,
                   std::string_view note) {
    show_result(host, state, texts_for(operation), outcome, elapsed, protected_areas, note);
}

void report_configuration_start(Host& host) {
    host.set_status(kConfigurationTexts.start);
    host.yield();
}

void report_configuration_result(Host& host, const AppState& state, RunOutcome outcome,
                                 std::chrono::nanoseconds elapsed) {
    show_result(host, state, kConfigurationTexts, outcome, elapsed, {}, {});
}

void report_read_protection(Host& host, std::string_view areas) {
    host.show_message(
        "The chip is code-protected: " + std::string(areas) + " read as 00, and the buffers hold 00 there.",
        MessageKind::Info, "");
}

void report_protection_set(Host& host, std::string_view areas) {
    host.show_message("Verified before the protection was set: " + std::string(areas) +
                          " are code-protected from now on and read as 00.",
                      MessageKind::Info, "");
}

}  // namespace quillon

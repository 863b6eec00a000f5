#include "engine/operations/socket_check.h"

#include <string>

#include "base/hex_text.h"
#include "engine/operations/operation_texts.h"
#include "engine/script/programmer_lines.h"

namespace quillon {

namespace {

constexpr int kCoreInstruction = 0x0;
constexpr int kTableReadPostIncrement = 0x9;
// TBLPTR = 3FFFFE: MOVLW 3F, MOVWF TBLPTRU, MOVLW FF, MOVWF TBLPTRH, MOVLW FE, MOVWF TBLPTRL.
constexpr int kPointAtDeviceId[] = {0x0E3F, 0x6EF8, 0x0EFF, 0x6EF7, 0x0EFE, 0x6EF6};

bool writes_chip(Operation operation) {
    return operation == Operation::Erase || operation == Operation::Program;
}

// "The chip in the socket is a PIC18F4550 (device ID 1204, revision 4), not the selected
// PIC18F452", or what stands in its place when no chip or an unknown one answers.
std::string mismatch_text(const ChipIdentity& found, const AppState& state) {
    const std::string selected = "the selected " + state.model_name;
    switch (found.kind) {
        case ChipIdentity::Kind::NoChip:
            return "No chip answers in the socket (device ID " + hex4(found.word) + "), where " + selected +
                   " was expected";
        case ChipIdentity::Kind::Known:
            return "The chip in the socket is a " + identity_text(found) + ", not " + selected;
        case ChipIdentity::Kind::Unknown:
            break;
    }
    return "The chip in the socket answers device ID " + hex4(found.word) +
           ", which no model of the library has; it is not " + selected + " (" +
           hex4(state.silicon.device_id->id) + ")";
}

// The operation stays undone: says why, and offers the model found where the session can select it.
RunOutcome refuse(ChipSession& session, const ChipIdentity& found, Operation operation) {
    const AppState& state = session.state;
    std::string text = mismatch_text(found, state) + ". Nothing was written: the " +
                       operation_name(operation) + " was not started.";
    if (found.kind == ChipIdentity::Kind::NoChip) text += "\r\n" + std::string(kNoChipCauses) + ".";
    session.host.set_status("Wrong chip in the socket: " + std::string(operation_name(operation)) +
                            " not started.");
    const bool offer = found.kind == ChipIdentity::Kind::Known && session.socket->select_model;
    if (!offer) {
        session.host.show_message(text, MessageKind::Error, state.product_title);
        return RunOutcome::WrongChip;
    }
    text += "\r\nSelect the " + found.model_name + " as the model now?";
    if (session.host.show_message(text, MessageKind::YesNo, state.product_title) == MessageAnswer::Yes)
        session.socket->select_model(found.model_number);
    return RunOutcome::WrongChip;
}

}  // namespace

std::optional<int> read_device_id(ChipSession& session) {
    const AppState& state = session.state;
    if (session.port == nullptr || (state.voltage_sequence != 1 && state.voltage_sequence != 2))
        return std::nullopt;
    ProgrammerLines lines(*session.port, session.host, session.clock);
    lines.power_up(state.voltage_sequence);
    for (const int instruction : kPointAtDeviceId)
        lines.send_command(kCoreInstruction, instruction);
    const int low = lines.read_byte(kTableReadPostIncrement);
    const int high = lines.read_byte(kTableReadPostIncrement);
    lines.power_down();
    lines.flush();
    if (lines.failed()) return std::nullopt;
    return high << 8 | low;
}

std::optional<RunOutcome> check_socket(ChipSession& session, Operation operation) {
    AppState& state = session.state;
    if (session.socket == nullptr || !state.silicon.device_id || !state.port_open || session.port == nullptr)
        return std::nullopt;
    // The window lets events run during the read: its commands stay locked, as in a run.
    session.host.disable();
    const std::optional<int> word = read_device_id(session);
    session.host.enable();
    if (!word) {
        if (!session.port->failed()) return std::nullopt;  // no power-up order: the run refuses its script
        state.port_open = false;
        report_port_failure(session.host, state, session.port->failure_text());
        return RunOutcome::PortFailed;
    }
    const ChipIdentity found = identify_chip(state.catalog, *word);
    if (found.kind != ChipIdentity::Kind::NoChip && state.silicon.device_id->matches(found.word))
        return std::nullopt;
    if (writes_chip(operation) && !session.socket->force) return refuse(session, found, operation);
    session.host.show_message(
        mismatch_text(found, state) + "; the " + operation_name(operation) + " goes on.", MessageKind::Info,
        state.product_title);
    return std::nullopt;
}

}  // namespace quillon

#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/host.h"
#include "base/programmer_port.h"
#include "model/app_state.h"

namespace quillon {

// Whether and how an operation first asks the chip in the socket for its device ID
// (engine/socket_check.h). Without one, operations run on whatever chip is there.
struct SocketCheck {
    // Erase and program go on, with a warning, on a chip other than the selected model.
    bool force = false;
    // Where set, a refusal that found a model of the library asks whether to select it, and
    // hands its number here on Yes; the operation stays undone either way.
    std::function<void(int model_number)> select_model;
};

// What a chip operation runs against: the state, its host, the clock, and the open programmer port
// (null while no port is open).
struct ChipSession {
    AppState& state;
    Host& host;
    Clock& clock;
    ProgrammerPort* port = nullptr;
    const SocketCheck* socket = nullptr;
};

enum class RunOutcome {
    Completed,           // the script ran to its end and found nothing wrong
    Differences,         // blank check or verify found differences
    PortClosed,          // no programmer port open: nothing happened
    PortFailed,          // the port stopped working during the run; port_open is now false
    Fault,               // the chip never finished a write, or a loop could not end
    ScriptRefused,       // the script cannot run as written; the chip was not touched
    ScriptUnrecognized,  // a word of the script is no instruction; the chip was not touched
    Stopped,             // the user stopped the run; the chip was powered down
    WrongChip,           // the chip in the socket is not the selected model: nothing was written
};

RunOutcome program_all(ChipSession& session);
RunOutcome read_all(ChipSession& session);
RunOutcome erase_all(ChipSession& session);
RunOutcome blank_check(ChipSession& session);
RunOutcome verify_chip(ChipSession& session);

// Runs one operation by kind (the driver behind the five operations).
RunOutcome run_algorithm(ChipSession& session, Operation operation);

// Runs one operation over `regions` only: a read fills only their buffers and leaves the others as
// they were, a verify or blank check compares only them. The result names the regions when they
// are not all three.
RunOutcome run_algorithm(ChipSession& session, Operation operation, const MemoryRegions& regions);

// Runs `script` as `operation` over `regions`; a non-empty `note` goes in brackets after the result
// text ("Chip programmed (data EEPROM left as it was). ...").
RunOutcome run_script_over(ChipSession& session, Operation operation, const AlgorithmScript& script,
                           const MemoryRegions& regions, std::string_view note);

// Keeps the chip's data EEPROM, as read before an erase, somewhere the user finds it again. `chip`
// holds the chip's data EEPROM and configuration and no FLASH. Gives the name to tell the user, or
// why it could not be kept (then nothing is erased).
struct EepromBackupResult {
    std::string name;
    std::string error;
};
using EepromBackup = std::function<EepromBackupResult(const MemoryImage& chip)>;

// How program all treats the data EEPROM. With keep_eeprom the image's EEPROM bytes are ignored
// and the chip's stay (engine/keep_eeprom.h); `backup` serves models without a partial erase.
struct ProgramChoice {
    bool keep_eeprom = false;
    EepromBackup backup;
};

// Program all, then verify. When the image's configuration sets code, data or write protection
// and the model has a configuration-only script, the protection is held back: everything is
// programmed and verified unprotected, and then that script writes the configuration as the image
// has it and checks it. Without such a script, or without protection, program all and verify.
// `run_ended`, when given, is called after each of the runs, so that a host can show each result.
// With `choice.keep_eeprom` the verify compares FLASH and configuration only.
RunOutcome program_and_verify(ChipSession& session, const std::function<void()>& run_ended = {},
                              const ProgramChoice& choice = {});

// Whole seconds, a point and two digits of hundredths, cut (not rounded): 3.05 s gives "3.05".
std::string elapsed_text(std::chrono::nanoseconds elapsed);

}  // namespace quillon

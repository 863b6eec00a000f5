#pragma once

#include <chrono>
#include <string>

#include "base/clock.h"
#include "base/host.h"
#include "base/programmer_port.h"
#include "model/app_state.h"

namespace quillon {

// What a chip operation runs against: the state, its host, the clock, and the open programmer port
// (null while no port is open).
struct ChipSession {
    AppState& state;
    Host& host;
    Clock& clock;
    ProgrammerPort* port = nullptr;
};

enum class RunOutcome {
    Completed,           // the script ran to its end and found nothing wrong
    Differences,         // blank check or verify found differences
    PortClosed,          // no programmer port open: nothing happened
    PortFailed,          // the port stopped working during the run; port_open is now false
    Fault,               // the chip never finished a write, or a loop could not end
    ScriptRefused,       // the script cannot run as written; the chip was not touched
    ScriptUnrecognized,  // a word of the script is no instruction: the program must end
};

RunOutcome program_all(ChipSession& session);
RunOutcome read_all(ChipSession& session);
RunOutcome erase_all(ChipSession& session);
RunOutcome blank_check(ChipSession& session);
RunOutcome verify_chip(ChipSession& session);

// Runs one operation by kind (the driver behind the five operations).
RunOutcome run_algorithm(ChipSession& session, Operation operation);

// Whole seconds, a point and two digits of hundredths, cut (not rounded): 3.05 s gives "3.05".
std::string elapsed_text(std::chrono::nanoseconds elapsed);

}  // namespace quillon

#pragma once

#include <chrono>
#include <string_view>

#include "base/host.h"
#include "engine/operations/chip_operations.h"
#include "engine/script/script_program.h"
#include "model/app_state.h"

namespace quillon {

// What the chip operations tell the user: each function writes the status line and shows the
// message box for one stage of a run. run_algorithm decides what happens; these only say it.

// No programmer port is open: "Serial port 3 error!".
void report_port_closed(Host& host, const AppState& state);

// The script cannot run (outcome ScriptUnrecognized or ScriptRefused).
void report_refused_script(Host& host, const AppState& state, Operation operation,
                           const ScriptProgram& program, RunOutcome outcome);

// The start text, shown before the first instruction runs.
void report_start(Host& host, Operation operation);

// The port stopped working during the run.
void report_port_failure(Host& host, const AppState& state, std::string_view cause);

// The user stopped the run; `last_caption` is the last progress caption it showed (empty when
// none), told as where the run was: "Program all stopped at FLASH address 003002.".
void report_stop(Host& host, Operation operation, std::string_view last_caption);

// The run stopped early for `fault_text`, and the chip was powered down.
void report_stopped_run(Host& host, const AppState& state, std::string_view fault_text);

// The run ended (Completed or Differences): the result text with the elapsed time, and for
// differences the report. A check that met code-protected areas names them (`protected_areas`,
// "block 0 000200-001FFF and data EEPROM") before the rows, if there are any. A `note` goes in
// brackets after the result: "Chip verified (FLASH and configuration only). 1.20 seconds...".
void report_result(Host& host, const AppState& state, Operation operation, RunOutcome outcome,
                   std::chrono::nanoseconds elapsed, std::string_view protected_areas = {},
                   std::string_view note = {});

// The run of the configuration-only script that sets protection after a verify: its start, and its
// end as report_result says it.
void report_configuration_start(Host& host);
void report_configuration_result(Host& host, const AppState& state, RunOutcome outcome,
                                 std::chrono::nanoseconds elapsed);

// A read found the chip code-protected: the buffers hold 00 in `areas`.
void report_read_protection(Host& host, std::string_view areas);

// Program with verify has set the protection of `areas` after verifying them.
void report_protection_set(Host& host, std::string_view areas);

}  // namespace quillon

#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "adapters/port_registry.h"
#include "adapters/serial_port_provider.h"
#include "backends/recording/vcd_trace_port.h"
#include "backends/sim/sim_log.h"
#include "base/clock.h"
#include "base/command_line_settings.h"
#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "engine/operations/chip_operations.h"
#include "ports/port_manager.h"

namespace quillon {

// The programmer a chip command runs on, opened by the form of --port that the port registry
// names: the serial port the program would open, a port given by number or device, an FTDI
// adapter, or the simulated board with a chip of the selected model. It owns the port (through the
// same PortManager as the program), the clock of the run (virtual on the simulated board, so
// nothing waits for real) and the optional line trace. Failures are reported through the host and
// the context; the methods return kExitOk or the exit status.
class ProgrammerConnection {
  public:
    ProgrammerConnection(CliContext& context, CliHost& host);
    ~ProgrammerConnection();
    ProgrammerConnection(const ProgrammerConnection&) = delete;
    ProgrammerConnection& operator=(const ProgrammerConnection&) = delete;

    // Opens the port; with a `trace_path` the lines of every run are recorded in that VCD file,
    // which is checked first, so that a trace that cannot be written touches no port.
    int open(const PortChoice& choice, const QString& trace_path);
    // What the chip operations run with.
    ChipSession session();
    // Ends the trace and keeps the simulated chip in its file.
    int finish();

  private:
    int open_port(const PortChoice& choice);
    void report_sim_refusals();
    std::string chip_model_name() const;
    Clock& clock() const { return *opening_.clock; }

    CliContext& context_;
    CliHost& host_;
    SystemClock system_clock_;
    FakeClock virtual_clock_;
    SimLog sim_log_;
    SocketCheck socket_;  // erase and program first ask the chip who it is
    std::ofstream trace_file_;
    CommandLineSettings settings_;
    SerialPortProvider provider_;
    PortManager manager_;
    // What the form left: the simulated board (outliving the port that the manager owns) and the
    // run's clock.
    PortOpening opening_;
    QString trace_path_;
    std::unique_ptr<VcdTracePort> trace_;  // ends before the port it watches
};

}  // namespace quillon

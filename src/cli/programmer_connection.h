#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "adapters/serial_port_provider.h"
#include "backends/recording/vcd_trace_port.h"
#include "backends/sim/pic18_chip.h"
#include "backends/sim/sim_log.h"
#include "base/clock.h"
#include "cli/cli_context.h"
#include "cli/cli_host.h"
#include "cli/command_line_settings.h"
#include "cli/port_choice.h"
#include "engine/operations/chip_operations.h"
#include "ports/port_manager.h"

namespace quillon {

// The programmer a chip command runs on: the serial port the program would open, a port given by
// number or device, or the simulated board with a chip of the selected model. It owns the port
// (through the same PortManager as the program), the clock of the run (virtual on the simulated
// board, so nothing waits for real) and the optional line trace. Failures are reported through the
// host and the context; the methods return kExitOk or the exit status.
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
    int open_by_settings();
    int open_device(const std::string& device);
    int open_simulator(const std::string& chip_file);
    int open_ftdi(const std::string& name);
    int open_ftdi_simulator(const std::string& chip_file);
    bool load_chip(const std::string& chip_file);
    std::optional<int> programmer_baud();
    int port_failed(const PortError& error, bool message_shown);
    void report_sim_refusals();
    std::string chip_model_name() const;

    CliContext& context_;
    CliHost& host_;
    SystemClock system_clock_;
    FakeClock virtual_clock_;
    Clock* clock_ = &system_clock_;
    SimLog sim_log_;
    std::unique_ptr<Pic18Chip> chip_;  // outlives the board that the manager owns
    std::string chip_file_;
    SocketCheck socket_;  // erase and program first ask the chip who it is
    // With ftdisim the board sits behind the modelled adapter that the manager's port owns, and the
    // trace between them records the lines as the chip sees them.
    std::unique_ptr<ProgrammerPort> ftdi_board_;
    std::unique_ptr<VcdTracePort> chip_trace_;
    CommandLineSettings settings_;
    SerialPortProvider provider_;
    PortManager manager_;
    std::ofstream trace_file_;
    QString trace_path_;
    std::unique_ptr<VcdTracePort> trace_;  // ends before the port it watches
};

}  // namespace quillon

#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "backends/sim/pic18_chip.h"
#include "backends/sim/sim_log.h"
#include "backends/sim/simulated_board.h"

namespace quillon {

class Clock;
class Host;
class PortManager;
class ProgrammerPort;
struct AppState;

// The simulated programmer board as the program's programmer port, with a chip of the selected
// model in its socket. Each model's chip keeps its memories between runs in a HEX file of its own
// in `chip_folder`; the file is written after every chip operation and whenever the chip leaves
// the board. The board's line changes take no time of their own, while the programming pulses and
// waits of a run take the time `clock` gives them. Must outlive the port manager it attaches to,
// which holds the board while the chip stays here.
class SimulatedProgrammer {
  public:
    SimulatedProgrammer(AppState& state, Host& host, Clock& clock, std::string chip_folder);
    ~SimulatedProgrammer();
    SimulatedProgrammer(const SimulatedProgrammer&) = delete;
    SimulatedProgrammer& operator=(const SimulatedProgrammer&) = delete;

    // Puts a chip of the selected model, holding what its file kept, on a new board and makes the
    // board the programmer port; the chip that was there before goes back to its file. When the
    // simulator has no chip of the model, or the chip's file cannot be read, the status line says
    // so and the port is left closed. Returns whether the board is the programmer port now.
    bool attach(PortManager& ports);

    // Takes the chip off the board into its file; closes the port if the board still is it.
    void release(PortManager& ports);

    // Keeps the chip's memories in its file. A failure is shown in a message box.
    bool save_chip();

    bool has_chip() const { return sim_.has_value(); }
    Pic18Chip* chip() const { return sim_ ? &sim_->chip() : nullptr; }
    const std::string& folder() const { return folder_; }

    // The file a model's chip is kept in: the folder, the model's name, ".hex".
    std::string chip_file(std::string_view model_name) const;

  private:
    void stop_without_port(PortManager& ports, const std::string& status);

    AppState& state_;
    Host& host_;
    Clock& clock_;
    std::string folder_;
    SimLog log_;
    std::optional<SimulatedBoard> sim_;  // its port is the port manager's while attached
    std::string chip_path_;
    const ProgrammerPort* board_ = nullptr;
};

}  // namespace quillon

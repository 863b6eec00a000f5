#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "backends/sim/chip_model.h"
#include "backends/sim/pic18_chip.h"
#include "backends/sim/sim_board.h"
#include "backends/sim/sim_log.h"
#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

class ModelledFtdiAdapter;

// How the simulated programmer board is put together.
struct SimulatedBoardSetup {
    // What the chip and the board keep time by, and where the chip writes what it refuses. On a
    // FakeClock every line change of the board advances the clock by `change_cost`, or the waits
    // of a run (which poll the chip) would never see time pass; on any other clock line changes
    // take no time of their own.
    Clock& clock;
    SimLog& log;
    std::chrono::nanoseconds change_cost = std::chrono::microseconds(1);
    // The board sits on the DB9 of a modelled FT232R driven at this baud rate. The adapter keeps
    // the time of every pin state on the clock, which must then be a FakeClock, so the board's own
    // line changes cost nothing.
    std::optional<int> ftdi_baud{};
    // Behind the adapter: what stands between it and the board (a trace, a counter), made on the
    // board.
    std::function<std::unique_ptr<ProgrammerPort>(ProgrammerPort& board)> chip_side{};
};

// The simulated programmer board with a chip of one model in its socket, and where it was set up
// so, the modelled FTDI adapter in front of it. It owns them all until take_port() hands the port
// the program drives to its owner (the port manager); the chip and what stands behind the port
// stay here and must outlive it.
class SimulatedBoard {
  public:
    Pic18Chip& chip() const { return *chip_; }
    SimBoard& board() const { return *board_; }
    // What the program drives: the board, or the FTDI port in front of it. An FTDI port that the
    // adapter refused to start has failed: port().failed(), and failure_text() says why.
    ProgrammerPort& port() const { return *port_; }
    std::unique_ptr<ProgrammerPort> take_port();
    // The modelled adapter, behind an FTDI port; null without one.
    const ModelledFtdiAdapter* ftdi_adapter() const { return adapter_; }
    // Ends what stands between the adapter and the board (a trace writes no more), once the port in
    // front of it has gone.
    void end_chip_side() { chip_side_.reset(); }

  private:
    friend SimulatedBoard build_simulated_board(const ChipModel& model, const SimulatedBoardSetup& setup);
    SimulatedBoard() = default;

    // Declared in the order of what each stands on: the port in front goes first, still sending
    // what it holds through what stands behind it.
    std::unique_ptr<Pic18Chip> chip_;
    std::unique_ptr<SimBoard> own_board_;
    std::unique_ptr<ProgrammerPort> chip_side_;
    std::unique_ptr<ProgrammerPort> front_;
    SimBoard* board_ = nullptr;
    ProgrammerPort* port_ = nullptr;
    const ModelledFtdiAdapter* adapter_ = nullptr;
};

// Builds the board for every program that needs one: the window, quillon-cli (sim, ftdisim), the
// virtual serial port, the doctor's estimates, the device-library check and the benchmarks. The
// chip's memories start erased.
SimulatedBoard build_simulated_board(const ChipModel& model, const SimulatedBoardSetup& setup);

}  // namespace quillon

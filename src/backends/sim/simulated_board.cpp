#include "backends/sim/simulated_board.h"

#include "backends/ftdi/ftdi_programmer_port.h"
#include "backends/ftdi/modelled_ftdi_adapter.h"

namespace quillon {

std::unique_ptr<ProgrammerPort> SimulatedBoard::take_port() {
    if (front_) return std::move(front_);
    return std::move(own_board_);
}

SimulatedBoard build_simulated_board(const ChipModel& model, const SimulatedBoardSetup& setup) {
    auto* virtual_clock = dynamic_cast<FakeClock*>(&setup.clock);
    SimulatedBoard made;
    made.chip_ = std::make_unique<Pic18Chip>(model, setup.clock, setup.log);
    if (virtual_clock != nullptr && !setup.ftdi_baud)
        made.own_board_ = std::make_unique<SimBoard>(*virtual_clock, setup.log, setup.change_cost);
    else
        made.own_board_ = std::make_unique<SimBoard>(setup.clock, setup.log);
    made.own_board_->insert_chip(made.chip_.get());
    made.board_ = made.own_board_.get();
    made.port_ = made.board_;
    if (!setup.ftdi_baud) return made;

    ProgrammerPort* lines = made.board_;
    if (setup.chip_side) {
        made.chip_side_ = setup.chip_side(*made.board_);
        lines = made.chip_side_.get();
    }
    // The modelled USB runs on virtual time only.
    auto adapter = std::make_unique<ModelledFtdiAdapter>(*lines, dynamic_cast<FakeClock&>(setup.clock),
                                                         *setup.ftdi_baud);
    made.adapter_ = adapter.get();
    auto port = std::make_unique<FtdiProgrammerPort>(std::move(adapter), *setup.ftdi_baud);
    // A refusal leaves the port failed, as the program finds an adapter that stopped working.
    static_cast<void>(port->start());
    made.port_ = port.get();
    made.front_ = std::move(port);
    return made;
}

}  // namespace quillon

#pragma once

#include "adapters/port_registry.h"

namespace quillon {

// --port sim[:FILE], the simulated board, and ftdisim[:FILE], the simulated board on the DB9 of a
// modelled FTDI adapter: a chip of the model opening.simulated_model, its memories kept in FILE.
Result<void, PortFormError> open_simulated_board(const PortChoice& choice, PortOpening& opening);
Result<void, PortFormError> open_simulated_ftdi_board(const PortChoice& choice, PortOpening& opening);
DoctorReport examine_simulated_board(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);
DoctorReport examine_simulated_ftdi_board(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);

}  // namespace quillon

#pragma once

#include "adapters/port_registry.h"

namespace quillon {

// --port ftdi and ftdi:SERIAL: an FTDI USB adapter in synchronous bit-bang mode.
Result<void, PortFormError> open_ftdi_adapter(const PortChoice& choice, PortOpening& opening);
DoctorReport examine_ftdi_adapter(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);

// The baud rate of the setting kBaudRateSetting, at which an FTDI port sends the byte on TD.
Result<int, PortFormError> programmer_baud_rate(PortOpening& opening);

}  // namespace quillon

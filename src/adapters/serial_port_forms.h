#pragma once

#include "adapters/port_registry.h"
#include "adapters/serial_port_provider.h"
#include "tools/doctor/system_view.h"

namespace quillon {

// The serial forms of --port: the port the program uses (no --port), a port number, a serial
// device by its path.
Result<void, PortFormError> open_stored_port(const PortChoice& choice, PortOpening& opening);
Result<void, PortFormError> open_numbered_port(const PortChoice& choice, PortOpening& opening);
Result<void, PortFormError> open_serial_device(const PortChoice& choice, PortOpening& opening);
DoctorReport examine_stored_port(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);
DoctorReport examine_numbered_port(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);
DoctorReport examine_serial_device(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target);

// What the doctor knows of every port before it looks at one: the devices of the numbers and the
// line settings the program opens with; chosen by --port.
DoctorTarget doctor_target(DoctorSetup& setup, SerialPortProvider& provider);

// Examines the target as the program would open it: a serial device, or the FTDI adapter that a
// port number's setting (or --port) names, with that adapter's own checks.
DoctorReport examine_target(const DoctorTarget& target, SerialPortProvider& provider, SystemView& system);

// Tells a port error through the host, as the program does, unless it was told already.
Failure<PortFormError> told(Host& host, const AppState& state, const PortError& error,
                            bool already_told = false);

}  // namespace quillon

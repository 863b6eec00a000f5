#pragma once

#include <functional>
#include <string>

#include "base/clock.h"
#include "base/port_provider.h"
#include "tools/doctor/port_doctor.h"
#include "tools/doctor/system_view.h"

namespace quillon {

// Checks an FTDI port ("ftdi" or "ftdi:SERIAL"): whether the fast path is built in, whether the
// adapter is on the bus, whether the user may open its USB device (the udev rule), whether it
// opens in synchronous bit-bang mode, what a USB round trip costs and whether a board echoes DATA
// OUT on DATA IN. `open_port` is called only for an adapter the bus shows and the user may open.
DoctorReport examine_ftdi_port(const std::string& name, const std::string& chosen_by, SystemView& system,
                               const std::function<PortOpenResult()>& open_port, Clock& clock,
                               int rounds = kDoctorRounds);

}  // namespace quillon

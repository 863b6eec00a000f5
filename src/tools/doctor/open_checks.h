#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/clock.h"
#include "base/port_provider.h"
#include "tools/doctor/port_doctor.h"
#include "tools/doctor/system_view.h"

namespace quillon {

// Opens the target as the program would and says whether it opened, and if not why (busy, locked
// by `holders`, settings it refuses, no such device); the port when it opened. A refused
// permission that the access check has already reported is not told again.
std::unique_ptr<ProgrammerPort> check_port_opens(const DoctorTarget& target,
                                                 const std::vector<DeviceHolder>& holders,
                                                 const std::function<PortOpenResult()>& open_port,
                                                 bool access_reported, DoctorReport& report);

// Times `rounds` changes of each line and DSR reads on an open port and judges the cost and the
// board's echo of DATA OUT on DATA IN; the measured costs go into the report.
void check_port_lines(ProgrammerPort& port, Clock& clock, int rounds, DoctorReport& report);

}  // namespace quillon

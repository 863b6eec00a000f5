#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/app_state.h"
#include "tools/doctor/line_cost.h"
#include "tools/doctor/operation_estimate.h"
#include "tools/doctor/port_doctor.h"

namespace quillon {

// How long program, read and verify of a full chip of the selected model take on one kind of port.
struct PortEstimate {
    PortCost cost;
    OperationCounts counts;  // counted at the pace of that port
};

// The estimates for the measured port or, without one, for typical ports.
struct DoctorEstimates {
    std::vector<PortEstimate> ports;  // one row each
};

// Counts the model's operations on the simulated chip at the pace of each port and prices them:
// with the mean measured costs, or with typical_uart_cost() and typical_usb_cost() when nothing was
// measured; then runs them through the FTDI bit-bang port on a modelled adapter.
DoctorEstimates make_doctor_estimates(const AppState& state, const std::optional<LineCosts>& measured);

// The report as the terminal shows it: one line per check ("problem  access   <finding>. Fix:
// <fix>."), the estimates when given, and a closing count of problems and warnings.
std::string doctor_text(const DoctorReport& report, const DoctorEstimates* estimates);

}  // namespace quillon

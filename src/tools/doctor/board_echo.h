#pragma once

#include <optional>
#include <string_view>

#include "tools/doctor/line_cost.h"
#include "tools/doctor/port_doctor.h"

namespace quillon {

// What the board's echo of DATA OUT on DATA IN says, measured with the line costs: a board that
// answers, none (DATA IN stuck), an inverted one, or a loose contact. `no_board_fix` is the advice
// where no board seems to answer. Nothing when the measurement read DATA IN not at all.
std::optional<DoctorCheck> board_echo_check(const LineCosts& costs, std::string_view no_board_fix);

}  // namespace quillon

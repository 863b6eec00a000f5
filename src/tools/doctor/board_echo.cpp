#include "tools/doctor/board_echo.h"

#include <string>

namespace quillon {

std::optional<DoctorCheck> board_echo_check(const LineCosts& costs, std::string_view no_board_fix) {
    const int reads = costs.echo_reads;
    const int matches = costs.echo_matches;
    if (reads == 0) return std::nullopt;
    if (matches == reads) {
        return DoctorCheck{"board", Verdict::Ok,
                           "DATA IN followed DATA OUT in all " + std::to_string(reads) +
                               " reads: a programmer board answers",
                           ""};
    }
    if (costs.echo_high == 0 || costs.echo_high == reads) {
        return DoctorCheck{"board", Verdict::Warning,
                           std::string("DATA IN stayed ") + (costs.echo_high == 0 ? "low" : "high") +
                               " while DATA OUT changed: no programmer board seems to answer",
                           std::string(no_board_fix)};
    }
    if (matches == 0) {
        return DoctorCheck{"board", Verdict::Warning, "DATA IN showed the opposite of DATA OUT in every read",
                           "a board of another design stands on this port, or its DATA IN is inverted"};
    }
    return DoctorCheck{"board", Verdict::Warning,
                       "DATA IN followed DATA OUT in only " + std::to_string(matches) + " of " +
                           std::to_string(reads) + " reads",
                       "check the cable and the board's connections for a loose contact"};
}

}  // namespace quillon

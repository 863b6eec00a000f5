#pragma once

#include <string>
#include <vector>

#include "model/app_state.h"

namespace quillon {

// The mismatch report as the user reads it: a header line, then a line per row, each ending in
// CR LF: "FLASH Byte 000010h,   3Fh,   FFh,".
std::string mismatch_report(const std::vector<MismatchRow>& rows);

}  // namespace quillon

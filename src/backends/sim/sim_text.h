#pragma once

#include <chrono>
#include <string>

namespace quillon {

// Texts for the simulator log.
std::string duration_text(std::chrono::nanoseconds duration);  // "250 us", "10.005 ms"
std::string command_text(int command);                         // the 4-bit command in binary, "1101"
std::string config_name(int index);                            // index 0 = "CONFIG1L"

}  // namespace quillon

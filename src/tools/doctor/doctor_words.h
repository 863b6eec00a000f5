#pragma once

#include <string>
#include <vector>

#include "tools/doctor/system_view.h"

namespace quillon {

// Small pieces of the doctor's sentences.
std::string file_name(const std::string& path);  // the last part of a path
std::string quoted(const std::string& text);     // "text"
std::string microseconds(double value);          // "4.0 us", "120 us"
std::string join(const std::vector<std::string>& parts, const std::string& separator);
// The first few programs, and how many more there are.
std::string programs_text(std::vector<std::string> programs);
// A message as a clause inside a sentence: without its final full stop.
std::string clause(std::string text);
// "minicom (process 42)", or "process 42" when the program is not known.
std::string holder_text(const DeviceHolder& holder);

}  // namespace quillon

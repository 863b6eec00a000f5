#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/port_provider.h"
#include "tools/doctor/line_cost.h"
#include "tools/doctor/system_view.h"

namespace quillon {

enum class Verdict : std::uint8_t { Ok, Warning, Problem };

// "ok", "warning", "problem".
const char* verdict_word(Verdict verdict);

// One thing the doctor looked at.
struct DoctorCheck {
    std::string name;  // port, device, access, kind, open, lines, board (and library from the caller)
    Verdict verdict = Verdict::Ok;
    std::string finding;  // what was found, without a final full stop
    std::string fix;      // what the user can do about it; empty when nothing needs doing
};

// The port to examine and what the user's settings say around it.
struct DoctorTarget {
    int number = 0;         // 1 to 16; 0 for a device named by its path that no number stands for
    std::string device;     // the device behind it; empty when no device stands for the number
    std::string chosen_by;  // how the port was chosen, for the report: "--port"
    std::array<std::string, 16> port_devices;  // the device of COM1 to COM16, settings included
    std::string line_settings;                 // what the program opens it with: "56000,n,8,1"
};

struct DoctorReport {
    std::vector<DoctorCheck> checks;
    std::optional<LineCosts> costs;  // measured on the port, when it opened and kept working

    int count(Verdict verdict) const;
    bool has_problem() const { return count(Verdict::Problem) > 0; }
};

// Line changes the doctor times on a port that opens (as many again of each line).
inline constexpr int kDoctorRounds = 200;

// Checks what stands between the user and a working programmer on `target`: the number and its
// device, whether the device exists (else which serial devices do), whether the user may open it,
// what kind of port it is, whether it opens or another program holds it, what a line change and a
// DSR read cost, and whether a board shows DATA OUT on DATA IN. `open_port` opens the target as
// the program would; the port is closed again before the call returns.
DoctorReport examine_port(const DoctorTarget& target, SystemView& system,
                          const std::function<PortOpenResult()>& open_port, Clock& clock,
                          int rounds = kDoctorRounds);

// The number (1 to 16) whose device is `device` or leads to the same device; 0 when none does.
int find_port_number(const std::string& device, const std::array<std::string, 16>& port_devices,
                     SystemView& system);

}  // namespace quillon

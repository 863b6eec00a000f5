#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "backends/recording/recording_port.h"

namespace quillon {

// The programmer lines of a VCD trace as line events, read from the text alone: data_out as DTR,
// clock as RTS, each change of vdd_vpp as a byte on TD. The dump's first values are not changes.
inline std::vector<LineEvent> vcd_line_events(const std::string& vcd) {
    std::map<char, LineEvent::Kind> kinds;
    std::vector<LineEvent> events;
    std::istringstream lines(vcd);
    bool in_dump = false;
    bool defined = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("$var wire 1 ")) {
            std::istringstream words(line.substr(12));
            char id = 0;
            std::string name;
            words >> id >> name;
            if (name == "data_out") kinds[id] = LineEvent::Kind::Dtr;
            if (name == "clock") kinds[id] = LineEvent::Kind::Rts;
            if (name == "vdd_vpp") kinds[id] = LineEvent::Kind::WriteByte;
        } else if (line == "$enddefinitions $end") {
            defined = true;
        } else if (line == "$dumpvars") {
            in_dump = true;
        } else if (line == "$end") {
            in_dump = false;
        } else if (defined && !in_dump && line.size() == 2 && (line[0] == '0' || line[0] == '1')) {
            const auto kind = kinds.find(line[1]);
            if (kind != kinds.end()) events.push_back({kind->second, line[0] - '0'});
        }
    }
    return events;
}

}  // namespace quillon

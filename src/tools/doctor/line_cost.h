#pragma once

#include <string>
#include <vector>

#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

// The spread of one kind of line operation's duration, in microseconds.
struct CostStats {
    int samples = 0;
    double median_us = 0;
    double p95_us = 0;  // 95 of 100 operations took at most this long
    double mean_us = 0;

    // Nearest-rank median and 95th percentile, and the mean, of `samples_us`.
    static CostStats of(std::vector<double> samples_us);
};

// What switching the programmer lines costs on a port.
struct LineCosts {
    CostStats change;    // setting DTR or RTS
    CostStats dsr_read;  // reading DSR
    // DATA IN (DSR) read after each DATA OUT (DTR) change, and how often it showed the same level:
    // the board shows DATA OUT on DATA IN while the chip does not drive the line.
    int echo_reads = 0;
    int echo_matches = 0;
    int echo_high = 0;  // reads that saw DSR asserted
    bool port_failed = false;
    std::string failure;  // the port's own words when it failed
};

// Releases both lines, then times `rounds` changes of CLOCK with DATA OUT low and `rounds` changes
// of DATA OUT with CLOCK low, each followed by a DSR read. A chip that happens to be powered sees at most NOP
// frames (all bits 0) and DATA OUT changes without a clock edge, so it does nothing; VDD/VPP (TD) is never
// touched. Both lines are left released (low). Stops early when the port fails.
LineCosts measure_line_costs(ProgrammerPort& port, Clock& clock, int rounds);

}  // namespace quillon

#include "tools/doctor/line_cost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

namespace quillon {

namespace {

// The value at nearest rank `fraction` (0..1] of sorted samples.
double nearest_rank(const std::vector<double>& sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

class Stopwatch {
  public:
    explicit Stopwatch(Clock& clock) : clock_(clock), start_(clock.now()) {}
    double elapsed_us() const {
        return std::chrono::duration<double, std::micro>(clock_.now() - start_).count();
    }

  private:
    Clock& clock_;
    std::chrono::nanoseconds start_;
};

}  // namespace

CostStats CostStats::of(std::vector<double> samples_us) {
    CostStats stats;
    if (samples_us.empty()) return stats;
    std::sort(samples_us.begin(), samples_us.end());
    stats.samples = static_cast<int>(samples_us.size());
    stats.median_us = nearest_rank(samples_us, 0.5);
    stats.p95_us = nearest_rank(samples_us, 0.95);
    stats.mean_us = std::accumulate(samples_us.begin(), samples_us.end(), 0.0) / stats.samples;
    return stats;
}

LineCosts measure_line_costs(ProgrammerPort& port, Clock& clock, int rounds) {
    std::vector<double> changes;
    std::vector<double> reads;
    LineCosts costs;
    const auto timed_change = [&](void (ProgrammerPort::*set_line)(bool), bool level) {
        const Stopwatch watch(clock);
        (port.*set_line)(level);
        changes.push_back(watch.elapsed_us());
        return !port.failed();
    };

    // Released first, DATA OUT before CLOCK, as the port manager releases them after opening.
    bool working = timed_change(&ProgrammerPort::set_dtr, false);
    if (working) working = timed_change(&ProgrammerPort::set_rts, false);
    for (int i = 0; working && i < rounds; ++i)
        working = timed_change(&ProgrammerPort::set_rts, i % 2 == 0);
    if (working && rounds % 2 != 0) working = timed_change(&ProgrammerPort::set_rts, false);
    for (int i = 0; working && i < rounds; ++i) {
        const bool level = i % 2 == 0;
        working = timed_change(&ProgrammerPort::set_dtr, level);
        if (!working) break;
        const Stopwatch watch(clock);
        const bool data_in = port.read_dsr();
        reads.push_back(watch.elapsed_us());
        working = !port.failed();
        ++costs.echo_reads;
        if (data_in == level) ++costs.echo_matches;
        if (data_in) ++costs.echo_high;
    }
    if (working) {
        port.set_dtr(false);
        port.set_rts(false);
    }
    costs.change = CostStats::of(std::move(changes));
    costs.dsr_read = CostStats::of(std::move(reads));
    costs.port_failed = port.failed();
    if (costs.port_failed) costs.failure = port.failure_text();
    return costs;
}

}  // namespace quillon

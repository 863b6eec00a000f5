// Timing the programmer lines: the statistics, and a pattern that is safe for a board with a chip.
#include "tools/doctor/line_cost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/timed_port.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;

TEST(CostStats, NearestRankMedianAndPercentileAndMean) {
    std::vector<double> samples;
    for (int i = 100; i >= 1; --i)
        samples.push_back(i);
    const CostStats stats = CostStats::of(samples);
    EXPECT_EQ(stats.samples, 100);
    EXPECT_DOUBLE_EQ(stats.median_us, 50);
    EXPECT_DOUBLE_EQ(stats.p95_us, 95);
    EXPECT_DOUBLE_EQ(stats.mean_us, 50.5);

    const CostStats one = CostStats::of({7});
    EXPECT_DOUBLE_EQ(one.median_us, 7);
    EXPECT_DOUBLE_EQ(one.p95_us, 7);
    EXPECT_EQ(CostStats::of({}).samples, 0);
}

TEST(LineCost, MeasuresEachChangeAndReadOnTheClock) {
    FakeClock clock;
    TimedPort port(clock, 4us, 2us);
    port.slow_every = 10;  // one change in ten waits for the USB frame
    port.slow_change = 1ms;
    const LineCosts costs = measure_line_costs(port, clock, 200);
    EXPECT_EQ(costs.change.samples, 402) << "both lines released, 200 CLOCK changes, 200 DATA OUT changes";
    EXPECT_EQ(costs.dsr_read.samples, 200);
    EXPECT_DOUBLE_EQ(costs.change.median_us, 4);
    EXPECT_DOUBLE_EQ(costs.change.p95_us, 1000);
    EXPECT_NEAR(costs.change.mean_us, (362 * 4 + 40 * 1000) / 402.0, 1e-9);
    EXPECT_DOUBLE_EQ(costs.dsr_read.median_us, 2);
    EXPECT_EQ(costs.echo_reads, 200);
    EXPECT_EQ(costs.echo_matches, 200);
    EXPECT_FALSE(costs.port_failed);
}

TEST(LineCost, ClocksOnlyZerosLeavesTheSupplyAloneAndReleasesTheLines) {
    FakeClock clock;
    TimedPort port(clock, 1us, 1us);
    measure_line_costs(port, clock, 7);
    // The port came up with both lines asserted; they are released first, DATA OUT before CLOCK, as
    // the program releases them when it opens the port. From then on CLOCK moves only while DATA OUT
    // is low (a powered chip sees NOP frames at most), and DATA OUT only while CLOCK is low (no
    // edge, nothing latched).
    ASSERT_GE(port.log.size(), 2u);
    EXPECT_EQ(port.log[0], "d");
    EXPECT_EQ(port.log[1], "c");
    bool data = false;
    bool clock_line = false;
    for (const std::string& change : std::vector<std::string>(port.log.begin() + 2, port.log.end())) {
        if (change == "C" || change == "c") {
            EXPECT_FALSE(data) << "CLOCK changed with DATA OUT high";
            clock_line = change == "C";
        } else {
            EXPECT_FALSE(clock_line) << "DATA OUT changed with CLOCK high";
            data = change == "D";
        }
    }
    EXPECT_EQ(port.bytes_written, 0) << "VDD/VPP untouched";
    EXPECT_FALSE(port.dtr);
    EXPECT_FALSE(port.rts);
}

TEST(LineCost, StopsWhenThePortFails) {
    FakeClock clock;
    TimedPort port(clock, 1us, 1us);
    port.fail_after = 50;
    const LineCosts costs = measure_line_costs(port, clock, 200);
    EXPECT_TRUE(costs.port_failed);
    EXPECT_EQ(costs.failure, "the adapter was unplugged");
    EXPECT_LE(costs.change.samples, 51);
}

}  // namespace
}  // namespace quillon

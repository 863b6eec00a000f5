// How often the line primitives hand control to the host, and where they stop on a failed port.
#include <gtest/gtest.h>

#include "backends/recording/recording_port.h"
#include "engine/script/programmer_lines.h"
#include "support/recording_host.h"

namespace quillon {
namespace {

// A host that asks to hear of only every `calls`-th yield point.
class SparseHost final : public RecordingHost {
  public:
    explicit SparseHost(std::int64_t calls) { yield_every(calls); }
    void ask_for_every(std::int64_t calls) { yield_every(calls); }
    static constexpr std::int64_t kNever = kNoYields;
};

TEST(YieldPoint, TheHostHearsOfEveryChangeUnlessItAsksForFewer) {
    RecordingPort port;
    FakeClock clock;
    SparseHost every_third(3);
    ProgrammerLines lines(port, every_third, clock);
    lines.send_command(0x0D, 0x1234);  // 62 line changes
    EXPECT_EQ(port.change_count(), 62);
    EXPECT_EQ(every_third.yields, 20);

    // Asking again starts afresh: the next yield comes after the new count.
    every_third.ask_for_every(1);
    lines.data_low();
    EXPECT_EQ(every_third.yields, 21);

    SparseHost never(SparseHost::kNever);
    ProgrammerLines quiet(port, never, clock);
    quiet.send_command(0, 0);
    EXPECT_EQ(quiet.read_byte(9), 0);
    EXPECT_EQ(never.yields, 0);
}

TEST(YieldPoint, APortThatFailsMidFrameIsLeftAloneFromTheNextPhaseOn) {
    RecordingPort port;
    RecordingHost host;
    FakeClock clock;
    ProgrammerLines lines(port, host, clock);
    port.fail_after_changes = 5;  // within the 4-bit command
    lines.send_command(0x0D, 0xFFFF);
    EXPECT_EQ(port.change_count(), 5);
    // The command phase ran to its end (13 changes offered); the operand phase never started.
    EXPECT_EQ(host.yields, 13);
    lines.send_command(0, 0);
    EXPECT_EQ(lines.read_byte(9), 0);
    lines.programming_pulse(2);
    EXPECT_EQ(host.yields, 13);
    EXPECT_EQ(clock.now(), std::chrono::milliseconds(2));  // the pulse's time still passes
}

}  // namespace
}  // namespace quillon

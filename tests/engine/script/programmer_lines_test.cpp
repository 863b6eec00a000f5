#include "engine/script/programmer_lines.h"

#include <gtest/gtest.h>

#include "backends/recording/recording_port.h"
#include "support/recording_host.h"

namespace quillon {
namespace {

using Kind = LineEvent::Kind;

struct Lines {
    RecordingPort port;
    RecordingHost host;
    FakeClock clock;
    ProgrammerLines lines{port, host, clock};
};

// The DTR levels at each falling clock edge: the bits the chip latches.
std::vector<int> latched_bits(const std::vector<LineEvent>& events) {
    std::vector<int> bits;
    int dtr = 0;
    for (const LineEvent& e : events) {
        if (e.kind == Kind::Dtr) dtr = e.value;
        if (e.kind == Kind::Rts && e.value == 0) bits.push_back(dtr);
    }
    return bits;
}

std::vector<int> bits_lsb_first(int value, int count) {
    std::vector<int> bits;
    for (int i = 0; i < count; ++i)
        bits.push_back((value >> i) & 1);
    return bits;
}

TEST(ProgrammerLines, SendCommandClocksCommandThenOperandLsbFirstOnFallingEdges) {
    Lines t;
    t.lines.send_command(0x0D, 0x1234);
    std::vector<int> expected = bits_lsb_first(0x0D, 4);
    const std::vector<int> operand = bits_lsb_first(0x1234, 16);
    expected.insert(expected.end(), operand.begin(), operand.end());
    EXPECT_EQ(latched_bits(t.port.events()), expected);

    // Each bit: clock high, data set, clock low; then data low after each field.
    const auto& e = t.port.events();
    ASSERT_EQ(e.size(), 4u * 3 + 1 + 16u * 3 + 1);
    EXPECT_EQ(e[0], (LineEvent{Kind::Rts, 1}));
    EXPECT_EQ(e[1], (LineEvent{Kind::Dtr, 1}));  // bit 0 of 0D
    EXPECT_EQ(e[2], (LineEvent{Kind::Rts, 0}));
    EXPECT_EQ(e[12], (LineEvent{Kind::Dtr, 0}));
    EXPECT_EQ(e.back(), (LineEvent{Kind::Dtr, 0}));
    EXPECT_EQ(t.host.yields, static_cast<long long>(e.size()));  // a yield after every change
}

TEST(ProgrammerLines, OutOfRangeArgumentsChangeNoLine) {
    Lines t;
    t.lines.send_command(16, 0);
    t.lines.send_command(-1, 0);
    t.lines.send_command(0, 65536);
    t.lines.send_command(0, -1);
    EXPECT_EQ(t.lines.read_byte(16), 0);
    EXPECT_EQ(t.lines.read_byte(-1), 0);
    EXPECT_TRUE(t.port.events().empty());
}

TEST(ProgrammerLines, ReadByteSamplesDataInWhileClockIsHighAfterEightIgnoredClocks) {
    Lines held_high;
    held_high.port.dsr_level = true;
    EXPECT_EQ(held_high.lines.read_byte(0x09), 255);

    Lines held_low;
    EXPECT_EQ(held_low.lines.read_byte(0x02), 0);

    // A chip answering 0xA5 drives DSR with the bit of the current data clock, LSB first.
    Lines chip;
    RecordingPort& port = chip.port;
    port.dsr_source = [&port] {
        int rising_edges = 0;
        for (const LineEvent& e : port.events())
            rising_edges += e.kind == Kind::Rts && e.value == 1;
        const int data_clock = rising_edges - 4 - 8 - 1;
        return port.rts() && data_clock >= 0 && data_clock < 8 && ((0xA5 >> data_clock) & 1) != 0;
    };
    EXPECT_EQ(chip.lines.read_byte(0x09), 0xA5);

    // DATA OUT is held high for the whole input phase and each bit is read twice.
    int dsr_reads = 0;
    for (const LineEvent& e : port.events())
        dsr_reads += e.kind == Kind::ReadDsr;
    EXPECT_EQ(dsr_reads, 16);
    EXPECT_EQ(latched_bits(port.events()).size(), 4u + 8 + 8);
}

TEST(ProgrammerLines, ProgrammingPulseHoldsTheFourthClockForTheProgrammingTime) {
    Lines t;
    t.lines.programming_pulse(std::chrono::milliseconds(5), std::chrono::microseconds(7));
    // High for the pulse, then low for the discharge before the operand clocks.
    EXPECT_EQ(t.clock.now(), std::chrono::milliseconds(5) + std::chrono::microseconds(7));
    const auto& e = t.port.events();
    ASSERT_EQ(e.size(), 1u + 2 * 3 + 2 + 2 * 16);
    EXPECT_EQ(e[0], (LineEvent{Kind::Dtr, 0}));
    EXPECT_EQ(e[7], (LineEvent{Kind::Rts, 1}));  // the fourth clock rises, then the sleep
    EXPECT_EQ(e[8], (LineEvent{Kind::Rts, 0}));

    Lines zero;
    zero.lines.programming_pulse(std::chrono::milliseconds(0), std::chrono::microseconds(0));
    EXPECT_EQ(zero.clock.now(), std::chrono::nanoseconds(0));
    Lines unnamed;  // a model that names no P10 gets the longest of the families
    unnamed.lines.programming_pulse(1);
    EXPECT_EQ(unnamed.clock.now(), std::chrono::milliseconds(1) + ProgrammerLines::kSafeDischarge);
}

TEST(ProgrammerLines, PowerUpFollowsTheVoltageSequencePowerDownAlwaysToggles) {
    for (int sequence : {0, 1, 2}) {
        Lines t;
        t.lines.power_up(sequence);
        const std::size_t toggles = t.port.events().size();
        EXPECT_EQ(toggles, sequence == 0 ? 0u : 1u) << sequence;
        EXPECT_EQ(t.clock.now(), std::chrono::milliseconds(sequence == 0 ? 0 : 100));
        t.lines.power_down();
        EXPECT_EQ(t.port.events().size(), toggles + 1);
        EXPECT_EQ(t.port.events().back(), (LineEvent{Kind::WriteByte, 1}));
    }
}

TEST(ProgrammerLines, AFailedPortIsLeftAlone) {
    Lines t;
    t.port.fail_after_changes = 10;
    t.lines.send_command(0, 0xFFFF);
    EXPECT_TRUE(t.lines.failed());
    EXPECT_EQ(t.port.change_count(), 10);
    t.port.dsr_level = true;
    EXPECT_EQ(t.lines.read_byte(9), 0);
}

TEST(ProgrammerLines, DataInCountsOnlyWhenBothReadsAgree) {
    for (const bool first : {false, true}) {
        Lines t;
        bool next = first;
        t.port.dsr_source = [&next] {
            const bool level = next;
            next = !next;  // a line that flickers between the two reads
            return level;
        };
        EXPECT_EQ(t.lines.read_data_in(), 0) << first;
        EXPECT_EQ(t.host.yields, 1);  // the yield comes before the reads, none after
        EXPECT_EQ(t.port.events().size(), 2u);
    }
}

// Notes when each byte goes out on TD, to place the supply toggles in time.
class ToggleTimes final : public ProgrammerPort {
  public:
    explicit ToggleTimes(Clock& clock) : clock_(clock) {}
    void set_dtr(bool) override {}
    void set_rts(bool) override {}
    bool read_dsr() override { return false; }
    void write_byte(std::uint8_t) override { times.push_back(clock_.now()); }
    bool failed() const override { return false; }

    std::vector<std::chrono::nanoseconds> times;

  private:
    Clock& clock_;
};

TEST(ProgrammerLines, VoltageSequencesToggleBeforeOrAfterTheFirstSettlingTime) {
    using std::chrono::milliseconds;
    for (const auto& [sequence, power_up_at] :
         {std::pair{1, milliseconds(0)}, std::pair{2, milliseconds(50)}}) {
        FakeClock clock;
        RecordingHost host;
        ToggleTimes port(clock);
        ProgrammerLines lines(port, host, clock);
        lines.power_up(sequence);
        lines.power_down();
        const std::vector<std::chrono::nanoseconds> expected = {power_up_at, milliseconds(100)};
        EXPECT_EQ(port.times, expected) << sequence;
        EXPECT_EQ(clock.now(), milliseconds(200));
    }
}

TEST(SplitAddress, GivesUpperHighAndLowBytes) {
    AddressBytes bytes;
    split_address(bytes, 0x012345);
    EXPECT_EQ(bytes.address_upper, 0x01);
    EXPECT_EQ(bytes.address_high, 0x23);
    EXPECT_EQ(bytes.address_low, 0x45);
}

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include "sim_bench.h"

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;

TEST(SimBoard, ChipEntersProgrammingModeOnlyWhenClockAndDataAreLowAsTheSupplyRises) {
    SimBench good("PIC18F452");
    good.power_up();
    EXPECT_TRUE(good.chip->in_programming_mode());
    EXPECT_EQ(good.read_program(0x3FFFFE, 2), (Bytes{0x24, 0x04}));  // ID 0420, revision 4
    EXPECT_EQ(good.log.refusal_count(), 0u);

    for (const auto& [clock_high, data_high] : {std::pair{true, false}, std::pair{false, true}}) {
        SimBench t("PIC18F452");
        t.board.set_rts(clock_high);
        t.board.set_dtr(data_high);
        t.power_up();
        EXPECT_TRUE(t.chip->powered());
        EXPECT_FALSE(t.chip->in_programming_mode());
        EXPECT_TRUE(t.log_has(clock_high ? "supply on with PGC high" : "supply on with PGD high"));
        t.lines.clock_low();
        t.lines.data_low();
        // Nothing answers: the reads see DATA OUT, which the read holds high.
        EXPECT_EQ(t.read_program(0x3FFFFE, 2), (Bytes{0xFF, 0xFF}));

        t.power_down();  // a clean power cycle brings it back
        t.power_up();
        EXPECT_EQ(t.read_program(0x3FFFFE, 2), (Bytes{0x24, 0x04}));
    }
}

TEST(SimBoard, DataInFollowsDataOutUnlessAPoweredChipDrivesIt) {
    SimBench empty("PIC18F452");
    empty.board.insert_chip(nullptr);
    empty.board.set_dtr(true);
    EXPECT_TRUE(empty.board.read_dsr());
    empty.board.set_dtr(false);
    EXPECT_FALSE(empty.board.read_dsr());

    SimBench unpowered("PIC18F452");
    EXPECT_EQ(unpowered.read_program(0x3FFFFE, 2), (Bytes{0xFF, 0xFF}));
    EXPECT_FALSE(unpowered.board.supply_on());

    SimBench powered("PIC18F452");
    powered.power_up();
    powered.chip->memory().flash[0] = 0x00;
    EXPECT_EQ(powered.read_program(0, 1), (Bytes{0x00}));  // the chip pulls the line low against DATA OUT
    EXPECT_FALSE(powered.chip->drives_pgd());              // and lets go after the frame
}

TEST(SimBoard, FailsAfterTheGivenNumberOfChangesLikeAnUnpluggedAdapter) {
    SimBench t("PIC18F452");
    t.power_up();
    t.board.fail_after_changes(10);
    t.core(0x0E42);  // 62 line changes
    EXPECT_TRUE(t.board.failed());
    EXPECT_TRUE(t.lines.failed());
    EXPECT_EQ(t.board.change_count(), 1 + 10);  // the supply toggle, then ten more
    EXPECT_FALSE(t.board.read_dsr());
    EXPECT_FALSE(t.board.failure_text().empty());
    EXPECT_TRUE(t.log_has("board disconnected"));
    EXPECT_NE(t.chip->w(), 0x42);  // the frame never reached the chip
    EXPECT_TRUE(t.board.supply_on());
}

TEST(SimBoard, EachLineChangeCostsVirtualTimeOnAFakeClockAndNothingOnAnyOther) {
    SimBench t("PIC18F452");
    t.core(0x0000);
    EXPECT_EQ(t.clock.now(), microseconds(62));

    FakeClock still;
    SimLog log;
    SimBoard free_board(still, log, std::chrono::nanoseconds(0));
    free_board.set_rts(true);
    EXPECT_EQ(still.now().count(), 0);

    // With the real clock nothing is advanced and the chip still answers.
    SystemClock real;
    std::unique_ptr<Pic18Chip> chip = make_chip("PIC18F4550", real, log);
    SimBoard board(real, log);
    board.insert_chip(chip.get());
    RecordingHost host;
    ProgrammerLines lines(board, host, real);
    lines.toggle_vdd_vpp();
    lines.send_command(0, 0x0E3F);
    lines.send_command(0, 0x6EF8);
    lines.send_command(0, 0x0EFF);
    lines.send_command(0, 0x6EF7);
    lines.send_command(0, 0x0EFE);
    lines.send_command(0, 0x6EF6);
    EXPECT_EQ(lines.read_byte(0b1001), 0x04);  // revision 4 of ID 1200
    EXPECT_EQ(lines.read_byte(0b1001), 0x12);
}

}  // namespace
}  // namespace quillon

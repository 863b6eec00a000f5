// The board behind the virtual serial port, called as the interposed port calls it.
#include "vport/virtual_board.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "support/temp_dir.h"

namespace quillon {
namespace {

std::unique_ptr<VirtualBoard> board(VportOptions options = {}) {
    Result<std::unique_ptr<VirtualBoard>> made = VirtualBoard::create(options);
    if (!made.ok()) {
        ADD_FAILURE() << made.error().message;
        return nullptr;
    }
    return std::move(made).value();
}

int lines(VirtualBoard& port) {
    int bits = 0;
    EXPECT_EQ(port.get_lines(bits), 0);
    return bits;
}

TEST(VirtualBoard, ModemCallsSetTheLinesAndDsrShowsDataOutWhileNoChipDrivesIt) {
    const std::unique_ptr<VirtualBoard> port = board();
    port->opened();
    EXPECT_EQ(lines(*port), TIOCM_DTR | TIOCM_RTS | TIOCM_DSR) << "opening raises DTR and RTS";
    EXPECT_EQ(port->set_lines(0), 0);
    EXPECT_EQ(lines(*port), 0);
    EXPECT_EQ(port->raise_lines(TIOCM_DTR), 0);
    EXPECT_EQ(lines(*port), TIOCM_DTR | TIOCM_DSR);
    EXPECT_EQ(port->raise_lines(TIOCM_DTR), 0);  // a call, but no change
    EXPECT_EQ(port->lower_lines(TIOCM_DTR | TIOCM_RTS), 0);
    EXPECT_EQ(port->set_lines(TIOCM_RTS), 0);
    EXPECT_EQ(lines(*port), TIOCM_RTS);
    const VportCounts& counts = port->counts();
    EXPECT_EQ(counts.calls(), 9);
    EXPECT_EQ(counts.dtr_changes, 3);  // set 0, raise, lower
    EXPECT_EQ(counts.rts_changes, 2);  // set 0, set RTS
    EXPECT_EQ(counts.minimum(), 5) << "no chip shifted a bit out";

    int error = 0;
    const unsigned char toggles[] = {1, 0x55, 1};
    EXPECT_EQ(port->write_td(toggles, 3, error), 3);
    EXPECT_EQ(port->counts().td_bytes, 2) << "only bytes of value 1 toggle the supply";
    EXPECT_FALSE(port->powered());
}

TEST(VirtualBoard, APulledPortAnswersEioToEveryLaterCallAndWrite) {
    VportOptions options;
    options.fail_after = 2;
    const std::unique_ptr<VirtualBoard> port = board(options);
    EXPECT_EQ(port->raise_lines(TIOCM_DTR), 0);
    EXPECT_EQ(port->lower_lines(TIOCM_DTR), 0);
    int bits = 0;
    EXPECT_EQ(port->get_lines(bits), EIO);
    EXPECT_EQ(port->raise_lines(TIOCM_RTS), EIO);
    int error = 0;
    const unsigned char toggle = 1;
    EXPECT_EQ(port->write_td(&toggle, 1, error), -1);
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(port->counts().refused, 2);
    EXPECT_EQ(port->counts().rts_changes, 0);
    EXPECT_FALSE(port->powered());
}

TEST(VirtualBoard, AnUnknownModelOrAnUnreadableChipFileIsRefused) {
    VportOptions options;
    options.model = "PIC16F84";
    const Result<std::unique_ptr<VirtualBoard>> unknown = VirtualBoard::create(options);
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().message, "the virtual board has no PIC16F84 chip");

    const TempDir dir;
    options = {};
    options.chip_file = dir.write("chip.hex", "garbage\n");
    const Result<std::unique_ptr<VirtualBoard>> unreadable = VirtualBoard::create(options);
    ASSERT_FALSE(unreadable.ok());
    EXPECT_NE(unreadable.error().message.find("line 1"), std::string::npos) << unreadable.error().message;
    EXPECT_EQ(TempDir::read(options.chip_file), "garbage\n");
}

}  // namespace
}  // namespace quillon

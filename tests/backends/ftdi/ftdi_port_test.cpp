// The FTDI bit-bang port: the pin states it writes for each line, what it makes of the samples,
// how it cuts the states into USB transfers, and the chip's waits on the modelled adapter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "backends/ftdi/ftdi_programmer_port.h"
#include "backends/ftdi/modelled_ftdi_adapter.h"
#include "backends/recording/recording_port.h"
#include "backends/recording/vcd_trace_port.h"
#include "backends/sim/sim_bench.h"
#include "base/silent_host.h"
#include "engine/operations/chip_operations.h"
#include "engine/script/mismatch_report.h"
#include "engine/script/programmer_lines.h"
#include "model/device_file.h"
#include "model/reset_buffers.h"
#include "model/select_model.h"
#include "support/fake_bitbang_adapter.h"

namespace quillon {
namespace {

std::unique_ptr<FtdiProgrammerPort> started_port(AdapterLog& log, int baud = 56000) {
    auto port = std::make_unique<FtdiProgrammerPort>(std::make_unique<FakeAdapter>(log), baud);
    EXPECT_TRUE(port->start().ok());
    return port;
}

TEST(FtdiPort, PutsEachLineOnItsPinActiveLowAndReadsDsrTheSameWay) {
    AdapterLog log;
    auto port = started_port(log);
    // 1 ms latency, synchronous bit-bang with D0, D2 and D4 as outputs, a pin rate of 12 states per
    // bit of 56000 baud (the TD byte must fit in the FT232R's 128 bytes).
    EXPECT_EQ(log.calls, (std::vector<std::string>{"latency 1", "bitmode 21 4", "rate 672000", "purge"}));
    ASSERT_EQ(log.written, std::vector<std::uint8_t>{0x15}) << "every line released, TXD idle";

    log.written.clear();
    port->set_dtr(true);   // DTR# (D4) low
    port->set_dtr(true);   // the same level: no state
    port->set_rts(true);   // RTS# (D2) low
    port->set_dtr(false);  // DTR# high again
    port->set_rts(false);
    port->flush();
    EXPECT_EQ(log.written, (std::vector<std::uint8_t>{0x05, 0x01, 0x11, 0x15}));

    log.written.clear();
    log.samples = {0x35, 0x20, 0x15, 0xDF};
    EXPECT_FALSE(port->read_dsr()) << "DSR# (D5) high: not asserted";
    EXPECT_FALSE(port->read_dsr());
    EXPECT_TRUE(port->read_dsr()) << "DSR# low: asserted";
    EXPECT_TRUE(port->read_dsr()) << "only D5 counts";
    EXPECT_EQ(log.written, (std::vector<std::uint8_t>{0x15, 0x15, 0x15, 0x15})) << "a read repeats the state";
}

TEST(FtdiPort, SendsTheSupplyByteAsItsUartWaveformOnTxdWithTheOtherLinesHeld) {
    AdapterLog log;
    auto port = started_port(log);
    port->set_rts(true);
    port->flush();
    log.written.clear();
    log.transfers.clear();
    port->write_byte(1);
    port->flush();
    ASSERT_EQ(log.written.size(), 120U);
    ASSERT_EQ(log.transfers, std::vector<int>{120}) << "one transfer: a gap would stretch a bit";
    // Start bit, bit 0 = 1, bits 1 to 7 = 0, stop bit; 12 states each, RTS# low and DTR# high throughout.
    std::vector<std::uint8_t> expected;
    for (const int level : {0, 1, 0, 0, 0, 0, 0, 0, 0, 1})
        expected.insert(expected.end(), 12, static_cast<std::uint8_t>(0x10 | level));
    EXPECT_EQ(log.written, expected);
}

// The chip shifts a bit out after the rising clock edge; the sample that shows it is the one
// taken after the edge's state went out, i.e. the sample of the state after it.
TEST(FtdiPort, TakesEachReadFromTheStateAfterTheClockEdge) {
    RecordingPort board;
    board.dsr_source = [&board] { return board.rts(); };  // DATA IN follows CLOCK
    FakeClock clock;
    FtdiProgrammerPort port(std::make_unique<ModelledFtdiAdapter>(board, clock, 56000), 56000);
    ASSERT_TRUE(port.start().ok());
    port.set_rts(true);
    port.sample_dsr();
    port.set_rts(false);
    port.sample_dsr();
    port.flush();
    ASSERT_EQ(port.samples_ready(), 2U);
    EXPECT_TRUE(port.take_sample()) << "high after the rising edge";
    EXPECT_FALSE(port.take_sample()) << "low after the falling one";
}

// Program-sized runs of frames: no transfer carries more states than the receive buffer, and the
// two reads of every data bit of a byte come back in the transfer of its own frame.
TEST(FtdiPort, KeepsTransfersWithinTheFifoAndEachReadFrameWhole) {
    AdapterLog log;
    log.sample = 0x00;  // DSR asserted: every byte reads FF
    auto port = started_port(log);
    SilentHost host;
    FakeClock clock;
    ProgrammerLines lines(*port, host, clock);
    log.transfers.clear();
    int bytes_read = 0;
    for (int i = 0; i < 40; ++i) {
        lines.send_command(0x0D, 0x1234 + i);
        if (i % 3 == 0) {
            EXPECT_EQ(lines.read_byte(0x09), 0xFF);
            ++bytes_read;
        }
    }
    lines.flush();
    int largest = 0;
    for (const int transfer : log.transfers)
        largest = std::max(largest, transfer);
    EXPECT_LE(largest, 128);
    EXPECT_GT(largest, 100) << "frames are packed, not one transfer per frame";
    // 40 sends of 62 states and 14 reads of 63: 3362 states in at least 27 transfers.
    EXPECT_LE(static_cast<int>(log.transfers.size()), 27 + bytes_read);
}

// The programming pulse: the fourth clock stays high for the programming time as the chip sees it,
// counted from the state that raised it, though the states before it were still held.
TEST(FtdiPort, KeepsThePulseOnTheChipsClockAndNeverShortensIt) {
    struct TimedBoard final : ProgrammerPort {
        explicit TimedBoard(FakeClock& c) : clock(c) {}
        void set_dtr(bool) override {}
        void set_rts(bool asserted) override { edges.push_back({asserted, clock.now()}); }
        bool read_dsr() override { return false; }
        void write_byte(std::uint8_t) override {}
        bool failed() const override { return false; }
        FakeClock& clock;
        std::vector<std::pair<bool, std::chrono::nanoseconds>> edges;
    };
    FakeClock clock;
    TimedBoard board(clock);
    FtdiProgrammerPort port(std::make_unique<ModelledFtdiAdapter>(board, clock, 56000), 56000);
    ASSERT_TRUE(port.start().ok());
    SilentHost host;
    // Behind a line trace, as --trace puts it, the port still sends before the wait.
    std::ostringstream vcd;
    VcdTracePort trace(port, clock, vcd);
    ProgrammerLines lines(trace, host, clock);
    lines.send_command(0x0F, 0xBEEF);
    lines.programming_pulse(5);
    lines.flush();
    // 16 rising edges of the frame before, then four of the pulse's command bits.
    const auto& edges = board.edges;
    int rising = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        if (!edges[i].first || ++rising != 20 + 4) continue;
        EXPECT_FALSE(edges[i + 1].first);
        EXPECT_GE(edges[i + 1].second - edges[i].second, std::chrono::milliseconds(5));
        EXPECT_LT(edges[i + 1].second - edges[i].second, std::chrono::milliseconds(7)) << "one transfer more";
        return;
    }
    FAIL() << "no fourth clock of the pulse among " << edges.size() << " edges";
}

// The supplied scripts of one model of each chip family through the FTDI port, whose reads reach
// the buffers and the compares after later frames have gone out: the chip ends up with the image,
// reads it back, and a verify with more differences than the report takes gives the same 25 rows
// as the one-change-at-a-time board and still powers the chip down.
TEST(FtdiPort, RunsTheSuppliedScriptsWithTheirReadsArrivingLater) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_EQ(load_device_file(state.catalog, std::string(source) + "/data/quillondevices.txt").status,
              DeviceFileStatus::Loaded);
    state.model_count = state.catalog.model_count();
    state.port_open = true;
    std::set<ChipFamily> families;
    for (int number = 1; number <= state.model_count; ++number) {
        select_model(state, number);
        const std::optional<ChipModel> chip = find_chip_model(state.model_name);
        if (!chip || !families.insert(chip->family).second) continue;
        SCOPED_TRACE(state.model_name);
        SimBench t(state.model_name);
        FtdiProgrammerPort port(std::make_unique<ModelledFtdiAdapter>(t.board, t.clock, 56000), 56000);
        ASSERT_TRUE(port.start().ok());
        ChipSession ftdi{state, t.host, t.clock, &port};
        ChipSession direct{state, t.host, t.clock, &t.board};
        reset_buffers(state);
        for (std::size_t i = 0; i < state.image.flash.size(); i += 3)
            state.image.flash[i] = static_cast<std::uint8_t>(i / 3);
        state.image.eeprom[1] = 0x5A;
        state.image.eeprom.back() = 0x00;
        const MemoryImage written = state.image;

        EXPECT_EQ(erase_all(ftdi), RunOutcome::Completed);
        EXPECT_EQ(program_all(ftdi), RunOutcome::Completed);
        EXPECT_EQ(read_all(ftdi), RunOutcome::Completed);
        EXPECT_EQ(state.image.flash, written.flash);
        EXPECT_EQ(state.image.eeprom, written.eeprom);
        EXPECT_EQ(state.image.config, written.config);

        for (std::size_t i = 0; i < 30; ++i)
            state.image.flash[100 + i] ^= 0x81;
        EXPECT_EQ(verify_chip(direct), RunOutcome::Differences);
        const std::string rows = mismatch_report(state.mismatch_rows);
        EXPECT_EQ(state.mismatch_rows.size(), 25U);
        EXPECT_EQ(verify_chip(ftdi), RunOutcome::Differences);
        EXPECT_EQ(mismatch_report(state.mismatch_rows), rows);
        EXPECT_FALSE(t.board.supply_on()) << "the script's end ran after the 25th row";
        EXPECT_EQ(t.log.refusal_count(), 0u) << t.log.to_text();
    }
    EXPECT_EQ(families.size(), 3U);
}

// An adapter pulled out in the middle of a run: the run ends as a port failure that names it.
TEST(FtdiPort, AnAdapterPulledOutEndsTheRunAsAPortFailure) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_EQ(load_device_file(state.catalog, std::string(source) + "/data/quillondevices.txt").status,
              DeviceFileStatus::Loaded);
    state.model_count = state.catalog.model_count();
    state.port_open = true;
    select_model(state, 1);
    SimBench t(state.model_name);
    auto model = std::make_unique<ModelledFtdiAdapter>(t.board, t.clock, 56000);
    model->fail_after_writes(500);
    FtdiProgrammerPort port(std::move(model), 56000);
    ASSERT_TRUE(port.start().ok());
    ChipSession session{state, t.host, t.clock, &port};
    reset_buffers(state);
    EXPECT_EQ(read_all(session), RunOutcome::PortFailed);
    EXPECT_TRUE(port.failed());
    EXPECT_THAT(port.failure_text(),
                ::testing::HasSubstr("the FTDI adapter stopped answering (USB device unavailable)"));
    EXPECT_FALSE(state.port_open);
}

TEST(ModelledFtdiAdapter, TakesOnlyAWholeUartByteOnTxdAndStallsPastItsFifo) {
    RecordingPort board;
    FakeClock clock;
    ModelledFtdiAdapter adapter(board, clock, 56000);
    ASSERT_EQ(adapter.set_bitmode(0x15, BitBangAdapter::Mode::SyncBitBang), 0);
    ASSERT_EQ(adapter.set_baudrate(672000), 0);
    std::vector<std::uint8_t> byte;
    for (const int level : {0, 1, 0, 0, 0, 0, 0, 0, 0, 1})
        byte.insert(byte.end(), 12, static_cast<std::uint8_t>(0x14 | level));
    std::uint8_t samples[128];
    ASSERT_EQ(adapter.write_data(byte.data(), 120), 120);
    ASSERT_EQ(adapter.read_data(samples, 128), 120);
    // The same waveform cut in two round trips: the gap holds the start bit's level.
    ASSERT_EQ(adapter.write_data(byte.data(), 30), 30);
    ASSERT_EQ(adapter.read_data(samples, 128), 30);
    ASSERT_EQ(adapter.write_data(byte.data() + 30, 90), 90);
    ASSERT_EQ(adapter.read_data(samples, 128), 90);
    std::vector<LineEvent> changes;
    for (const LineEvent& event : board.events())
        if (event.kind != LineEvent::Kind::ReadDsr) changes.push_back(event);
    EXPECT_EQ(changes, (std::vector<LineEvent>{{LineEvent::Kind::WriteByte, 1}}));
    EXPECT_EQ(adapter.framing_errors(), 1);

    EXPECT_EQ(adapter.write_data(byte.data(), 100), 100);
    EXPECT_LT(adapter.write_data(byte.data(), 29), 0) << "129 states in flight";
    EXPECT_NE(adapter.error_text().find("stalled"), std::string::npos);
}

}  // namespace
}  // namespace quillon

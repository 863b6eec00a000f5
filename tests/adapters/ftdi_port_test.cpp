// The FTDI bit-bang port: the pin states it writes for each line, what it makes of the samples,
// how it cuts the states into USB transfers, and the chip's waits on the modelled adapter.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

#include "adapters/ftdi_adapters.h"
#include "adapters/ftdi_port_opener.h"
#include "adapters/ftdi_programmer_port.h"
#include "backends/ftdi/modelled_ftdi_adapter.h"
#include "backends/recording/recording_port.h"
#include "base/silent_host.h"
#include "engine/programmer_lines.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

// An adapter that keeps every call and answers each state with a sample of the test's choosing.
struct AdapterLog {
    std::vector<std::string> calls;
    std::vector<std::uint8_t> written;
    std::vector<int> transfers;  // states per round trip
    std::deque<std::uint8_t> samples;
    std::uint8_t sample = 0xFF;  // the answer once `samples` is used up
    int fifo = 128;
};

class FakeAdapter final : public BitBangAdapter {
  public:
    explicit FakeAdapter(AdapterLog& log) : log_(log) {}
    int set_latency_timer(std::uint8_t ms) override { return call("latency " + std::to_string(ms)); }
    int set_bitmode(std::uint8_t mask, Mode mode) override {
        return call("bitmode " + std::to_string(mask) + " " + std::to_string(static_cast<int>(mode)));
    }
    int set_baudrate(int rate) override { return call("rate " + std::to_string(rate)); }
    int purge_buffers() override { return call("purge"); }
    int write_data(const std::uint8_t* data, int size) override {
        log_.written.insert(log_.written.end(), data, data + size);
        in_flight_ += size;
        return size;
    }
    int read_data(std::uint8_t* data, int size) override {
        const int count = std::min(size, std::min(in_flight_, 7));  // a few at a time, as USB packets come
        if (in_flight_ > 0 && !reading_) log_.transfers.push_back(in_flight_);
        reading_ = count < in_flight_;
        for (int i = 0; i < count; ++i) {
            data[i] = log_.sample;
            if (!log_.samples.empty()) {
                data[i] = log_.samples.front();
                log_.samples.pop_front();
            }
        }
        in_flight_ -= count;
        return count;
    }
    std::string error_text() const override { return {}; }
    int fifo_size() const override { return log_.fifo; }

  private:
    int call(std::string text) {
        log_.calls.push_back(std::move(text));
        return 0;
    }
    AdapterLog& log_;
    int in_flight_ = 0;
    bool reading_ = false;
};

std::unique_ptr<FtdiProgrammerPort> started_port(AdapterLog& log, int baud = 56000) {
    auto port = std::make_unique<FtdiProgrammerPort>(std::make_unique<FakeAdapter>(log), baud);
    EXPECT_EQ(port->start(), "");
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
    ASSERT_EQ(port.start(), "");
    port.set_rts(true);
    port.sample_dsr();
    port.set_rts(false);
    port.sample_dsr();
    EXPECT_EQ(port.take_samples(), 1U) << "high after the rising edge, low after the falling one";
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
    ASSERT_EQ(port.start(), "");
    SilentHost host;
    ProgrammerLines lines(port, host, clock);
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

// Which adapter a port name opens, and what the user is told when none can be: libftdi is asked
// only for an adapter the bus lists and the user may open.
TEST(FtdiPortOpener, OpensOnlyAListedAdapterTheUserMayOpen) {
    std::vector<UsbAdapterFacts> bus;
    int opened = 0;
    AdapterLog log;
    FtdiAccess access;
    access.built_in = true;
    access.list = [&bus] { return bus; };
    access.open = [&opened, &log](const UsbAdapterFacts&) {
        ++opened;
        return FtdiOpenResult{std::make_unique<FakeAdapter>(log), PortErrorKind::Failed, {}};
    };
    const auto message = [&access](std::string_view name) {
        const FtdiPortOpened result = open_ftdi_port(name, 56000, access);
        EXPECT_FALSE(result.result.port) << name;
        return result.result.error;
    };

    PortError error = message("ftdi");
    EXPECT_EQ(error.kind, PortErrorKind::NoSuchDevice);
    EXPECT_EQ(
        error.message.rfind("No FTDI USB adapter is connected (USB IDs 0403:6001, 0403:6015, 0403:6014, "
                            "0403:6010)",
                            0),
        0U)
        << error.message;

    bus = {{"0403:6001", "FT232R", "A50285BI", "FT232R USB UART", "/dev/bus/usb/001/004", false},
           {"0403:6014", "FT232H", "FT9XK2", "", "/dev/bus/usb/001/007", true}};
    error = message("ftdi:NOSUCH");
    EXPECT_EQ(error.kind, PortErrorKind::NoSuchDevice);
    EXPECT_NE(error.message.find("FTDI adapter A50285BI (FT232R): ftdi:A50285BI"), std::string::npos)
        << error.message;
    error = message("ftdi");  // the first one, which the user may not open
    EXPECT_EQ(error.kind, PortErrorKind::PermissionDenied);
    EXPECT_NE(error.message.find("udev rule"), std::string::npos) << error.message;
    EXPECT_EQ(opened, 0);

    const FtdiPortOpened second = open_ftdi_port("ftdi:FT9XK2", 56000, access);
    ASSERT_TRUE(second.result.port) << second.result.error.message;
    EXPECT_EQ(second.name, "FTDI adapter FT9XK2");
    EXPECT_EQ(opened, 1);

    access.built_in = false;
    EXPECT_NE(message("ftdi").message.find("not built into this program"), std::string::npos);
    EXPECT_EQ(opened, 1);
}

TEST(FtdiAdapters, ListsTheBitBangChipsOfTheBusInOrder) {
    TempDir sysfs;
    const auto device = [&sysfs](const std::string& name, const std::string& vendor,
                                 const std::string& product, const std::string& serial) {
        std::filesystem::create_directories(sysfs.file(name));
        sysfs.write(name + "/idVendor", vendor + "\n");
        sysfs.write(name + "/idProduct", product + "\n");
        if (!serial.empty()) sysfs.write(name + "/serial", serial + "\n");
        sysfs.write(name + "/busnum", "3\n");
        sysfs.write(name + "/devnum", name == "1-2" ? "12\n" : "5\n");
    };
    device("1-2", "0403", "6015", "DK0AB1");
    device("1-1", "0403", "6001", "");
    device("1-3", "10c4", "ea60", "0001");  // a CP2102: no bit-bang port
    std::filesystem::create_directories(sysfs.file("1-1:1.0"));
    const std::vector<UsbAdapterFacts> found = list_ftdi_adapters(sysfs.path(), sysfs.file("nodes"));
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].chip, "FT232R");
    EXPECT_EQ(found[0].serial, "");
    EXPECT_EQ(found[0].device_node, sysfs.file("nodes") + "/003/005");
    EXPECT_FALSE(found[0].may_open) << "no such node";
    EXPECT_EQ(found[1].usb_id, "0403:6015");
    EXPECT_EQ(found[1].serial, "DK0AB1");
    EXPECT_EQ(ftdi_adapter_lines(found),
              (std::vector<std::string>{"FTDI adapter 0403:6001 (FT232R): ftdi",
                                        "FTDI adapter DK0AB1 (FT-X): ftdi:DK0AB1"}));
}

}  // namespace
}  // namespace quillon

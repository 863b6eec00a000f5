// quillon-cli on the virtual serial port: the real serial backend opens a pseudo-terminal whose
// modem lines drive a simulated board, so every line change passes through the system calls a real
// port gets. No real serial device is opened: the port's device is the one quillon-vport made.
#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

#include "base/hex_text.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// The counts file of quillon-vport: "name value" lines.
std::map<std::string, std::int64_t> read_counts(const std::string& path) {
    std::map<std::string, std::int64_t> counts;
    std::istringstream lines(TempDir::read(path));
    std::string name;
    std::int64_t value = 0;
    while (lines >> name >> value)
        counts[name] = value;
    return counts;
}

const QRegularExpression kPortReady(R"(\nSerial port /dev/pts/[0-9]+ ready\.\.\.\n)");
const QRegularExpression kPortError(R"(\nSerial port /dev/pts/[0-9]+ error!\n$)");

// Both models of the test have 16 KB of FLASH, small enough for a full read in a few tenths of a
// second on any build.
constexpr std::size_t kFlashSize = 16384;

// One model's chip kept in a file between runs, and settings of the test's own.
class VirtualSerialPort : public ::testing::TestWithParam<const char*> {
  protected:
    CliRun cli(const QStringList& arguments, const QStringList& vport_options = {}) {
        const QString model = QString::fromLatin1(GetParam());
        return run_cli_on_virtual_port(
            QStringList{"--model", model, "--chip", chip, "--counts", counts} + vport_options,
            QStringList{"--model", model, "--port", "{port}"} + arguments, home);
    }
    // Each line change and each DSR read the operation needs is one system call, and no more.
    void expect_one_call_per_change(const std::string& what) {
        const std::map<std::string, std::int64_t> served = read_counts(counts.toStdString());
        EXPECT_GT(served.at("minimum"), 0) << what;
        EXPECT_LE(served.at("calls"), served.at("minimum") + 2) << what;
    }

    MemoryImage erased() const {
        MemoryImage image;
        image.flash.assign(kFlashSize, 0xFF);
        image.eeprom.assign(256, 0xFF);
        // Configuration left unprogrammed: with 00 in CONFIG5L..7H the chip would be protected.
        for (int k = 1; k <= kConfigByteCount; ++k)
            image.config(k) = 0xFF;
        return image;
    }
    // A few pages of FLASH and some EEPROM, so that the chip's real programming time stays short.
    MemoryImage test_image() const {
        MemoryImage image = erased();
        for (std::size_t i = 0; i < 0x300; ++i)
            image.flash[i] = static_cast<std::uint8_t>(i * 7 + 1);
        image.eeprom[0] = 0xA5;
        image.eeprom[5] = 0x00;
        return image;
    }
    std::string write_image(const std::string& name, const MemoryImage& image) {
        return dir.write(name, write_hex_text(image));
    }

    TempDir dir;
    QString home = q(dir.file("home"));
    QString chip = q(dir.file("chip.hex"));
    QString counts = q(dir.file("counts.txt"));
};

TEST_P(VirtualSerialPort, ErasesProgramsVerifiesAndReadsThroughTheSerialBackend) {
    const CliRun erase = cli({"erase"});
    ASSERT_EQ(erase.status, 0) << erase.out.toStdString() << erase.err.toStdString();
    EXPECT_TRUE(erase.out.contains(kPortReady)) << erase.out.toStdString();
    EXPECT_TRUE(erase.out.contains("Chip erased. "));
    expect_one_call_per_change("erase");

    const CliRun blank = cli({"blank-check"});
    EXPECT_EQ(blank.status, 0) << blank.err.toStdString();
    expect_one_call_per_change("blank check");

    const MemoryImage image = test_image();
    const CliRun program = cli({"program", q(write_image("image.hex", image)), "--verify"});
    ASSERT_EQ(program.status, 0) << program.out.toStdString() << program.err.toStdString();
    EXPECT_TRUE(program.out.contains("Chip programmed. ") && program.out.contains("Chip verified. "))
        << program.out.toStdString();
    expect_one_call_per_change("program and verify");

    const std::string back = dir.file("back.hex");
    const CliRun read = cli({"read", q(back)});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    MemoryImage read_back = erased();
    ASSERT_TRUE(read_hex_file(back, read_back).accepted());
    EXPECT_EQ(read_back.flash, image.flash);
    EXPECT_EQ(read_back.eeprom, image.eeprom);
    expect_one_call_per_change("read");

    MemoryImage changed = image;
    changed.flash[0x21] ^= 0x5A;
    const CliRun verify = cli({"verify", q(write_image("changed.hex", changed))});
    EXPECT_EQ(verify.status, 1);
    EXPECT_TRUE(verify.err.contains("FLASH Byte 000021h,   " + q(hex2(image.flash[0x21])) + "h,   "))
        << verify.err.toStdString();
}

TEST_P(VirtualSerialPort, APortPulledOutMidRunEndsWithItsErrorAndStatus3) {
    ASSERT_EQ(cli({"program", q(write_image("image.hex", test_image()))}).status, 0);
    const std::string back = dir.write("back.hex", "kept as it was\n");
    const CliRun read = cli({"read", q(back)}, {"--fail-after", "20000"});
    EXPECT_EQ(read.status, 3);
    EXPECT_TRUE(read.out.contains(kPortError)) << read.out.toStdString();
    EXPECT_TRUE(
        read.err.contains("The programmer port stopped working during the operation: Input/output error"))
        << read.err.toStdString();
    EXPECT_EQ(TempDir::read(back), "kept as it was\n");
    // The backend stops at the first refused call: the port counts as failed from then on.
    EXPECT_EQ(read_counts(counts.toStdString()).at("refused"), 1);

    const CliRun program =
        cli({"program", q(write_image("image.hex", test_image()))}, {"--fail-after", "5000"});
    EXPECT_EQ(program.status, 3);
    EXPECT_TRUE(program.out.contains(kPortError)) << program.out.toStdString();
}

// Program all of a whole chip on a port as slow as a USB adapter, stopped with SIGINT (sent to
// quillon-vport, which passes it on) once the run is under way.
TEST_P(VirtualSerialPort, SigintStopsTheRunAtOnceWithTheChipPoweredDown) {
    MemoryImage image = erased();
    for (std::size_t i = 0; i < image.flash.size(); ++i)
        image.flash[i] = static_cast<std::uint8_t>(i * 13 + 5);
    const QString model = QString::fromLatin1(GetParam());
    QProcess process;
    process.setProcessEnvironment(environment_with_home(home));
    process.start(QStringLiteral(QUILLON_VPORT),
                  {"--model", model, "--chip", chip, "--counts", counts, "--call-delay-us", "20", "--",
                   QStringLiteral(QUILLON_CLI), "--model", model, "--port", "{port}", "program",
                   q(write_image("image.hex", image))});
    ASSERT_TRUE(process.waitForStarted());
    // The port's line comes as soon as it is open, and the run starts right after it.
    QByteArray out;
    while (!out.contains("ready...") && process.waitForReadyRead(30000))
        out += process.readAllStandardOutput();
    ASSERT_TRUE(out.contains("ready...")) << out.toStdString();
    // Past the chip's ID read (the supply on and off again, 200 ms) and into the FLASH, some seconds
    // from its end.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    QElapsedTimer since_signal;
    since_signal.start();
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    ASSERT_TRUE(process.waitForFinished(60000));
    const qint64 stop_ms = since_signal.elapsed();
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 4) << out.toStdString() << process.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("\nProgram all stopped at FLASH address ")) << out.toStdString();
    const std::map<std::string, std::int64_t> served = read_counts(counts.toStdString());
    EXPECT_GE(served.at("td_bytes"), 2);
    EXPECT_EQ(served.at("td_bytes") % 2, 0) << "the supply was switched off again";
    // The frame in progress and the power-down, not the rest of the run (bench/stop_latency.sh
    // measures the time itself).
    EXPECT_LT(stop_ms, 5000);
}

// The harness itself can fail: on a board where DATA OUT and CLOCK are crossed, as a backend that
// switched the wrong line would make them, nothing is programmed that verifies.
TEST_P(VirtualSerialPort, CrossedLinesAreCaught) {
    const CliRun program =
        cli({"program", q(write_image("image.hex", test_image())), "--verify"}, {"--swap-lines"});
    EXPECT_NE(program.status, 0) << program.out.toStdString() << program.err.toStdString();
    EXPECT_FALSE(program.out.contains("Chip verified. ")) << program.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(FamiliesAAndB, VirtualSerialPort, ::testing::Values("PIC18F242", "PIC18F2420"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
}  // namespace quillon

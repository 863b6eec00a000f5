// quillon-cli's chip commands as a user runs them: on the supplied device library and a simulated
// PIC18F452 kept in a chip file, with settings in a folder of the test's own.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QSettings>
#include <algorithm>
#include <filesystem>

#include "base/hex_text.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"
#include "support/icsp_frames.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"
#include "support/vcd_lines.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// The PIC18F452's buffers as the program clears them.
MemoryImage erased_pic18f452() {
    MemoryImage image;
    image.flash.assign(32768, 0xFF);
    image.eeprom.assign(256, 0xFF);
    const std::int32_t erased[] = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                                   0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
    for (int k = 1; k <= kConfigByteCount; ++k)
        image.config(k) = erased[k - 1];
    return image;
}

MemoryImage load_image(const std::string& path) {
    MemoryImage image = erased_pic18f452();
    const HexReadResult result = read_hex_file(path, image);
    EXPECT_TRUE(result.accepted()) << path << ": " << result.message;
    return image;
}

// Seconds of "... 1.23 seconds elapsed..." in a status line of `out`.
double elapsed_seconds(const QString& out, const QString& status) {
    const QRegularExpression pattern(QRegularExpression::escape(status) +
                                     R"(([0-9]+\.[0-9]{2}) seconds elapsed\.\.\.\n)");
    const QRegularExpressionMatch match = pattern.match(out);
    EXPECT_TRUE(match.hasMatch()) << status.toStdString() << " in:\n" << out.toStdString();
    return match.captured(1).toDouble();
}

// A simulated chip in a file, and settings of the test's own.
class SimulatedChip : public ::testing::Test {
  protected:
    CliRun cli(const QStringList& arguments) {
        return run_cli_process(QStringList{"--model", "PIC18F452", "--port", "sim:" + chip} + arguments,
                               home);
    }

    std::string write_image(const std::string& name, const MemoryImage& image) {
        return dir.write(name, write_hex_text(image));
    }

    // Some FLASH in two places, EEPROM at both ends and one configuration byte.
    MemoryImage test_image() {
        MemoryImage image = erased_pic18f452();
        for (std::size_t i = 0; i < 0x300; ++i)
            image.flash[i] = static_cast<std::uint8_t>(i * 7 + 1);
        image.flash[0x4000] = 0x12;
        image.flash[0x4001] = 0x34;
        image.eeprom[0] = 0xA5;
        image.eeprom[255] = 0x00;
        image.config(4) = 0x0E;
        return image;
    }

    TempDir dir;
    QString home = q(dir.file("home"));
    QString chip = q(dir.file("chip.hex"));
};

TEST_F(SimulatedChip, ProgramsVerifiesReadsBackAndErases) {
    const CliRun erase = cli({"erase"});
    ASSERT_EQ(erase.status, 0) << erase.err.toStdString();
    EXPECT_TRUE(erase.out.startsWith("Model 1: PIC18F452 (from --model)\n")) << erase.out.toStdString();
    EXPECT_TRUE(erase.out.contains("Simulated board (PIC18F452, " + chip + ") ready...\n"));
    elapsed_seconds(erase.out, "Chip erased. ");
    EXPECT_TRUE(std::filesystem::exists(chip.toStdString())) << "the chip is kept in its file";

    const CliRun blank = cli({"blank-check"});
    EXPECT_EQ(blank.status, 0) << blank.err.toStdString();
    elapsed_seconds(blank.out, "Chip is blank. ");

    const MemoryImage image = test_image();
    const std::string image_file = write_image("image.hex", image);
    const CliRun program = cli({"program", q(image_file), "--verify"});
    ASSERT_EQ(program.status, 0) << program.err.toStdString();
    EXPECT_TRUE(program.out.contains("\nOperation completed. Total 16386 (16.0K) program bytes loaded.\n"))
        << program.out.toStdString();
    elapsed_seconds(program.out, "Chip programmed. ");
    elapsed_seconds(program.out, "Chip verified. ");
    EXPECT_FALSE(program.out.contains("Begin")) << "only the status each operation ends with";
    EXPECT_EQ(program.err, "");

    const std::string back = dir.write("back.hex", "not a HEX file, replaced without a question\n");
    const CliRun read = cli({"read", q(back)});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.endsWith("HEX file saved.\n")) << read.out.toStdString();
    elapsed_seconds(read.out, "Chip read. ");
    const MemoryImage read_back = load_image(back);
    EXPECT_EQ(read_back.flash, image.flash);
    EXPECT_EQ(read_back.eeprom, image.eeprom);
    EXPECT_EQ(read_back.config, image.config);

    MemoryImage changed = image;
    changed.flash[0x21] ^= 0x5A;
    const CliRun verify = cli({"verify", q(write_image("changed.hex", changed))});
    EXPECT_EQ(verify.status, 1);
    elapsed_seconds(verify.out, "Chip verify failed. ");
    EXPECT_EQ(verify.err.toStdString(),
              "Chip verify failed:\n\nMemory Location,   Read Value,   Expected,\n"
              "FLASH Byte 000021h,   " +
                  hex2(image.flash[0x21]) + "h,   " + hex2(changed.flash[0x21]) + "h,\n");

    ASSERT_EQ(cli({"erase"}).status, 0);
    const CliRun blank_again = cli({"blank-check"});
    EXPECT_EQ(blank_again.status, 0) << blank_again.err.toStdString();
}

TEST_F(SimulatedChip, ConfigurationVerifiesUnderItsBitsAndProtectionIsVerifiedBeforeItIsSet) {
    MemoryImage image = test_image();
    image.config(3) = 0xFF;  // CONFIG2L: the 452 implements 0F
    const CliRun program = cli({"program", q(write_image("image.hex", image)), "--verify"});
    ASSERT_EQ(program.status, 0) << program.err.toStdString();
    const std::string back = dir.file("back.hex");
    ASSERT_EQ(cli({"read", q(back)}).status, 0);
    EXPECT_EQ(load_image(back).config(3), 0x0F);

    image.config(9) = 0x00;  // CONFIG5L: blocks 0 to 3 code-protected, the boot block not
    const std::string protecting = write_image("protecting.hex", image);
    const CliRun protect = cli({"program", q(protecting), "--verify"});
    EXPECT_EQ(protect.status, 0) << protect.err.toStdString();
    EXPECT_TRUE(protect.err.contains("protected")) << protect.err.toStdString();
    const CliRun read = cli({"read", q(back)});
    EXPECT_EQ(read.status, 0);
    EXPECT_TRUE(
        read.err.contains("code-protected: block 0 000200-001FFF, block 1 002000-003FFF, block 2 "
                          "004000-005FFF and block 3 006000-007FFF read as 00"))
        << read.err.toStdString();
    const MemoryImage read_back = load_image(back);
    EXPECT_TRUE(std::equal(read_back.flash.begin(), read_back.flash.begin() + 0x200, image.flash.begin()));
    EXPECT_TRUE(std::all_of(read_back.flash.begin() + 0x200, read_back.flash.end(),
                            [](std::uint8_t byte) { return byte == 0x00; }));
    const CliRun verify = cli({"verify", q(protecting)});
    EXPECT_EQ(verify.status, 1);
    EXPECT_TRUE(
        verify.err.startsWith("Chip verify failed:\n\nThe chip is code-protected: block 0 000200-001FFF"))
        << verify.err.toStdString();
    EXPECT_FALSE(verify.err.contains("FLASH Byte")) << "the protection, not its bytes";
}

TEST_F(SimulatedChip, ABlankCheckReportsWhatIsNotErased) {
    MemoryImage image = erased_pic18f452();
    image.eeprom[3] = 0x33;
    ASSERT_EQ(cli({"erase"}).status, 0);
    ASSERT_EQ(cli({"program", q(write_image("image.hex", image))}).status, 0);
    const CliRun blank = cli({"blank-check"});
    EXPECT_EQ(blank.status, 1);
    elapsed_seconds(blank.out, "Chip is not blank. ");
    EXPECT_EQ(blank.err,
              "Chip is not blank:\n\nMemory Location,   Read Value,   Expected,\nEEPROM Byte 0003h,   33h,   "
              "FFh,\n");
}

TEST_F(SimulatedChip, TheProgrammingTimeIsTheUsersAndPassesInVirtualTime) {
    const std::string image = write_image("image.hex", test_image());
    double seconds[2] = {};
    int i = 0;
    for (const char* milliseconds : {"1", "30"}) {
        ASSERT_EQ(cli({"erase"}).status, 0);
        const CliRun program = cli({"--prog-time", milliseconds, "program", q(image), "--verify"});
        ASSERT_EQ(program.status, 0) << program.err.toStdString();
        seconds[i++] = elapsed_seconds(program.out, "Chip programmed. ");
    }
    // 8-byte pages up to the one of 0x4001 (2049): each code pulse 29 ms longer. The configuration
    // bytes keep the model's configuration pulse.
    EXPECT_GE(seconds[1] - seconds[0], 2049 * 0.029 - 0.01);
    EXPECT_LT(seconds[1] - seconds[0], (2049 + 14) * 0.029 - 0.01);

    for (const char* wrong : {"31", "0.5", "x"}) {
        const CliRun refused = cli({"--prog-time", wrong, "erase"});
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_TRUE(refused.err.startsWith("Wrong entry!\n")) << refused.err.toStdString();
        EXPECT_FALSE(refused.out.contains("Simulated board")) << "the port is not touched";
    }
}

TEST_F(SimulatedChip, TraceHoldsTheRunsClockEdges) {
    const std::string trace = dir.file("run.vcd");
    const CliRun erase = cli({"--trace", q(trace), "erase"});
    ASSERT_EQ(erase.status, 0) << erase.err.toStdString();
    const std::string vcd = TempDir::read(trace);
    EXPECT_NE(vcd.find("$var wire 1 c clock $end"), std::string::npos);
    int rising = 0;
    long long last_time = -1;
    bool ordered = true;
    std::istringstream lines(vcd);
    for (std::string line; std::getline(lines, line);) {
        if (line == "1c") ++rising;
        if (line.starts_with('#')) {
            const long long time = std::stoll(line.substr(1));
            ordered = ordered && time > last_time;
            last_time = time;
        }
    }
    EXPECT_GE(rising, 6 * 20) << "six ICSP frames of 20 clocks at least";
    EXPECT_TRUE(ordered);
    EXPECT_GT(last_time, 20000) << "the erase wait of 20 ms is in the trace's time";

    // After every programming pulse the clock stays low for P10 (5 us on the 452) before it rises.
    MemoryImage small = erased_pic18f452();
    for (std::size_t i = 0; i < 16; ++i)
        small.flash[i] = static_cast<std::uint8_t>(i);
    const CliRun program = cli({"--trace", q(trace), "program", q(write_image("small.hex", small))});
    ASSERT_EQ(program.status, 0) << program.err.toStdString();
    std::istringstream program_lines(TempDir::read(trace));
    long long time = 0;
    long long rose = -1;
    long long pulse_fell = -1;
    int pulses = 0;
    int short_rests = 0;
    for (std::string line; std::getline(program_lines, line);) {
        if (line.starts_with('#')) time = std::stoll(line.substr(1));
        if (line == "1c") {
            if (pulse_fell >= 0 && time - pulse_fell < 5) ++short_rests;
            pulse_fell = -1;
            rose = time;
        }
        if (line == "0c" && rose >= 0 && time - rose >= 1000) {
            ++pulses;
            pulse_fell = time;
        }
    }
    EXPECT_EQ(pulses, 2 + 14) << "two code pages and the configuration bytes";
    EXPECT_EQ(short_rests, 0);

    const CliRun unwritable = cli({"--trace", q(dir.file("no/such/run.vcd")), "erase"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(unwritable.err.contains("cannot write the line trace")) << unwritable.err.toStdString();
}

// The FTDI port on a modelled FT232R: the chip gets the image, the run takes the adapter's USB
// time, and the trace, recorded at the chip, decodes to the image's words.
TEST_F(SimulatedChip, OnAModelledFtdiAdapterTheChipGetsTheImageInUsbTime) {
    MemoryImage image = erased_pic18f452();
    for (std::size_t i = 0; i < image.flash.size(); ++i)
        image.flash[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
    image.eeprom[7] = 0x42;
    const std::string trace = dir.file("run.vcd");
    const QStringList port{"--model", "PIC18F452", "--port", "ftdisim:" + chip};
    const CliRun program = run_cli_process(
        port + QStringList{"--trace", q(trace), "program", q(write_image("full.hex", image)), "--verify"},
        home);
    ASSERT_EQ(program.status, 0) << program.err.toStdString();
    EXPECT_TRUE(program.out.contains("Simulated board on a modelled FTDI adapter (PIC18F452, " + chip +
                                     ") ready...\n"));
    elapsed_seconds(program.out, "Chip programmed. ");
    // 32768 byte reads, two to a round trip of at least the 1 ms latency: modelled time, not the
    // microseconds the simulated board alone would take.
    EXPECT_GE(elapsed_seconds(program.out, "Chip verified. "), 16.384);

    std::vector<int> words;
    for (const IcspFrame& frame : icsp_frames(vcd_line_events(TempDir::read(trace)))) {
        if (frame.command == 0x0D || frame.command == 0x0F) words.push_back(frame.operand);
    }
    ASSERT_GE(words.size(), image.flash.size() / 2);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < image.flash.size() / 2; ++i)
        wrong += words[i] != image.flash[2 * i] + 256 * image.flash[2 * i + 1];
    EXPECT_EQ(wrong, 0U) << "table writes that do not carry the image's word";

    const std::string back = dir.file("back.hex");
    const CliRun read = run_cli_process(port + QStringList{"read", q(back)}, home);
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    const MemoryImage read_back = load_image(back);
    EXPECT_EQ(read_back.flash, image.flash);
    EXPECT_EQ(read_back.eeprom, image.eeprom);
    EXPECT_EQ(read_back.config, image.config);
}

TEST_F(SimulatedChip, BadInputChangesNothingAndGivesStatus2) {
    const std::string bad_hex = dir.write("bad.hex", ":020000001234B8\n:0200\n");
    const CliRun program = cli({"program", q(bad_hex)});
    EXPECT_EQ(program.status, 2);
    EXPECT_TRUE(program.out.endsWith("HEX file not loaded!\n")) << program.out.toStdString();
    EXPECT_FALSE(std::filesystem::exists(chip.toStdString())) << "no port was opened";

    EXPECT_EQ(cli({"--verify", "erase"}).status, 2);
    EXPECT_EQ(cli({"program"}).status, 2);

    const std::string damaged = dir.write("damaged-chip.hex", "garbage\n");
    const CliRun chip_file = run_cli_process({"--port", "sim:" + q(damaged), "erase"}, home);
    EXPECT_EQ(chip_file.status, 2);
    EXPECT_TRUE(chip_file.err.contains("damaged-chip.hex: line 1")) << chip_file.err.toStdString();
    EXPECT_EQ(TempDir::read(damaged), "garbage\n");
}

// A device library of its own, with the supplied library's PIC18F452 erase and blank check scripts.
std::string device_file(const TempDir& dir, const std::string& name, const std::string& erase,
                        const std::string& blank_check, const std::string& more_models = {}) {
    return dir.write(name,
                     "erasealgdef 1: " + erase + "\nblankcheckalgdef 1: " + blank_check +
                         "\nmodel: PIC18F452\nflash: 32768\neeprom: 256\n"
                         "configerased: 00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,40\n"
                         "voltageseq: vddvpp\nprogtime: 2\npagesize: 8\nerasealg: 1\nblankcheckalg: 1\n" +
                         more_models);
}

const char* const kErase =
    "begin,s00-0e3c,s00-6ef8,s00-0e00,s00-6ef7,s00-0e04,s00-6ef6,s0c-0080,s00-0000,s00-0000,w20,end";
const char* const kBlankCheck = "begin,s00-0e00,s00-6ef8,setflashloop,temp=s09,checkblankflash,loop,end";

TEST_F(SimulatedChip, ScriptMistakesFailVisiblyWithStatus2) {
    const std::string unknown_word = device_file(dir, "unknown.txt", "begin,s00-0e3c,bogus,end", kBlankCheck);
    const CliRun erase = cli({"--device-file", q(unknown_word), "erase"});
    EXPECT_EQ(erase.status, 2);
    EXPECT_EQ(erase.err, "Unrecognized symbolic instruction 'bogus'.\nThe program must end.\n");

    const std::string open_loop =
        device_file(dir, "loop.txt", kErase, "begin,setflashloop,temp=s09,checkblankflash,end");
    const CliRun blank = cli({"--device-file", q(open_loop), "blank-check"});
    EXPECT_EQ(blank.status, 2);
    EXPECT_TRUE(blank.out.endsWith("Script error! The chip was not touched.\n")) << blank.out.toStdString();
    EXPECT_TRUE(blank.err.contains("Instruction 2 'setflashloop' has no \"loop\" after it."))
        << blank.err.toStdString();
}

// A PIC18F4550 on the board while the PIC18F452 is selected: identify names it, erase and program
// refuse it with status 3 before anything is written, --force goes on; read warns and runs.
TEST_F(SimulatedChip, AChipOfAnotherModelIsNamedAndRefusedBeforeAnythingIsWritten) {
    const std::string image_file = write_image("image.hex", test_image());
    const CliRun first =
        run_cli_process({"--model", "PIC18F4550", "--port", "sim:" + chip, "program", q(image_file)}, home);
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const std::string programmed = TempDir::read(chip.toStdString());

    const CliRun identify = cli({"--sim-chip", "PIC18F4550", "identify"});
    EXPECT_EQ(identify.status, 0) << identify.err.toStdString();
    EXPECT_TRUE(
        identify.out.endsWith("Chip in the socket: PIC18F4550 (device ID 1204, revision 4), not the "
                              "selected PIC18F452.\n"))
        << identify.out.toStdString();
    EXPECT_TRUE(run_cli_process({"--model", "PIC18F4550", "--port", "sim:" + chip, "identify"}, home)
                    .out.endsWith("Chip in the socket: PIC18F4550 (device ID 1204, revision 4).\n"));

    for (const QStringList& command : {QStringList{"program", q(image_file)}, QStringList{"erase"}}) {
        const CliRun refused = cli(QStringList{"--sim-chip", "PIC18F4550"} + command);
        EXPECT_EQ(refused.status, 3) << refused.out.toStdString();
        EXPECT_TRUE(
            refused.err.startsWith("The chip in the socket is a PIC18F4550 (device ID 1204, revision "
                                   "4), not the selected PIC18F452. Nothing was written"))
            << refused.err.toStdString();
        EXPECT_EQ(TempDir::read(chip.toStdString()), programmed);
    }
    const CliRun read = cli({"--sim-chip", "PIC18F4550", "read", q(dir.file("back.hex"))});
    EXPECT_EQ(read.status, 0) << read.err.toStdString();
    EXPECT_TRUE(read.err.contains("not the selected PIC18F452; the read goes on.")) << read.err.toStdString();

    const CliRun forced = cli({"--sim-chip", "PIC18F4550", "--force", "erase"});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.err.contains("the erase goes on")) << forced.err.toStdString();
    EXPECT_TRUE(forced.out.contains("Chip erased. ")) << forced.out.toStdString();

    EXPECT_EQ(cli({"--sim-chip", "PIC18F9999", "identify"}).status, 2);
    EXPECT_EQ(cli({"--force", "read", q(dir.file("back.hex"))}).status, 2)
        << "--force is for erase and program";
}

TEST_F(SimulatedChip, AModelTheSimulatorDoesNotKnowIsRefused) {
    const std::string devices = dir.write("mystery.txt", "model: Mystery\nflash: 64\n");
    const CliRun run = run_cli_process({"--device-file", q(devices), "--port", "sim", "erase"}, home);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.startsWith("Model 1: Mystery")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("the simulated board has no Mystery chip")) << run.err.toStdString();
}

// Settings in the test's own folder, as the program would have left them.
void store_settings(const QString& home, const QVariantMap& values) {
    QSettings settings(home + "/.config/Ardentix Quillon.ini", QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        settings.setValue(it.key(), it.value());
}

QVariant stored_setting(const QString& home, const QString& name) {
    return QSettings(home + "/.config/Ardentix Quillon.ini", QSettings::IniFormat).value(name);
}

TEST(CliModel, WithoutModelTheProgramsStoredModelIsUsed) {
    TempDir dir;
    const QString home = q(dir.file("home"));
    const std::string devices = device_file(dir, "devices.txt", kErase, kBlankCheck,
                                            "model: PIC18F4550\nflash: 32768\neeprom: 256\nerasealg: 1\n");

    const CliRun first_run = run_cli_process({"--device-file", q(devices), "show"}, home);
    EXPECT_TRUE(first_run.out.startsWith("Model 1: PIC18F452 (from the setting \"Microcontroller Model\")\n"))
        << first_run.out.toStdString();
    // Commands that only look write no setting, not even a default.
    const std::string image = dir.write("image.hex", ":00000001FF\n");
    for (const QStringList& read_only : {QStringList{"models"}, QStringList{"hex-info", q(image)},
                                         QStringList{"convert", q(image), q(dir.file("copy.hex"))}}) {
        EXPECT_EQ(run_cli_process(QStringList{"--device-file", q(devices)} + read_only, home).status, 0);
    }
    EXPECT_FALSE(std::filesystem::exists((home + "/.config/Ardentix Quillon.ini").toStdString()));

    store_settings(home, {{"Microcontroller Model", "2"}});
    const CliRun stored = run_cli_process({"--device-file", q(devices), "--port", "sim", "erase"}, home);
    EXPECT_TRUE(stored.out.startsWith("Model 2: PIC18F4550 (from the setting \"Microcontroller Model\")\n"))
        << stored.out.toStdString();
    EXPECT_TRUE(stored.out.contains("Simulated board (PIC18F4550) ready..."));

    const CliRun chosen = run_cli_process({"--device-file", q(devices), "--model", "1", "show"}, home);
    EXPECT_TRUE(chosen.out.startsWith("Model 1: PIC18F452 (from --model)\n"));

    store_settings(home, {{"Microcontroller Model", "3"}});
    const CliRun out_of_range = run_cli_process({"--device-file", q(devices), "show"}, home);
    EXPECT_TRUE(
        out_of_range.out.startsWith("Model 1: PIC18F452 (the setting \"Microcontroller Model\" names no "
                                    "model; the first is used)\n"))
        << out_of_range.out.toStdString();
    EXPECT_EQ(stored_setting(home, "Microcontroller Model").toString(), "3") << "the program's choice stays";
}

// Every port number points into an empty folder, so that no real serial device is ever opened.
class NoSerialPorts : public ::testing::Test {
  protected:
    NoSerialPorts() {
        QVariantMap values{{"Serial Port Number", 7}};
        for (int number = 1; number <= 16; ++number)
            values.insert(QStringLiteral("Serial Port Device %1").arg(number), missing(number));
        store_settings(home, values);
    }
    QString missing(int number) const { return q(dir.file("missing-" + std::to_string(number))); }

    TempDir dir;
    QString home = q(dir.file("home"));
};

TEST_F(NoSerialPorts, APortThatDoesNotOpenGivesStatus3) {
    const CliRun stored = run_cli_process({"erase"}, home);
    EXPECT_EQ(stored.status, 3);
    EXPECT_TRUE(stored.out.endsWith("\nSerial port COM7 error!\n")) << stored.out.toStdString();
    EXPECT_EQ(stored.err, "Serial port COM7 (" + missing(7) + ") does not exist or is not a serial port.\n");

    for (const char* port : {"3", "COM3", "com3"}) {
        const CliRun numbered = run_cli_process({"--port", port, "blank-check"}, home);
        EXPECT_EQ(numbered.status, 3) << port;
        EXPECT_TRUE(numbered.out.endsWith("\nSerial port COM3 error!\n")) << numbered.out.toStdString();
    }
    EXPECT_EQ(stored_setting(home, "Serial Port Number").toInt(), 7) << "--port is not stored";

    const CliRun device = run_cli_process({"--port", missing(5), "erase"}, home);
    EXPECT_EQ(device.status, 3);
    EXPECT_TRUE(device.out.endsWith("\nSerial port COM5 error!\n"))
        << "a device of the port table is its number";

    const QString elsewhere = q(dir.file("elsewhere"));
    const CliRun path = run_cli_process({"--port", elsewhere, "erase"}, home);
    EXPECT_EQ(path.status, 3);
    EXPECT_TRUE(path.out.endsWith("\nSerial port " + elsewhere + " error!\n")) << path.out.toStdString();
    EXPECT_EQ(path.err, "Serial port " + elsewhere + " does not exist or is not a serial port.\n");

    for (const char* wrong : {"0", "17", "COM"}) {
        const CliRun refused = run_cli_process({"--port", wrong, "erase"}, home);
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_TRUE(refused.err.startsWith("Wrong entry!\n")) << refused.err.toStdString();
    }
}

// On a bus of the test's own with no adapter, whatever this machine has plugged in.
TEST_F(NoSerialPorts, WithoutAnFtdiAdapterItsPortGivesStatus3) {
    const TempDir empty_bus;
    qputenv("QUILLON_USB_SYSFS", QByteArray::fromStdString(empty_bus.path()));
    store_settings(home, {{"Serial Port Device 9", "ftdi:A50285BI"}});
    for (const QStringList& arguments :
         {QStringList{"--port", "ftdi", "erase"}, QStringList{"--port", "9", "erase"}}) {
        const CliRun run = run_cli_process(arguments, home);
        EXPECT_EQ(run.status, 3) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("No FTDI USB adapter is connected (USB IDs 0403:6001"))
            << run.err.toStdString();
    }
    qunsetenv("QUILLON_USB_SYSFS");
    EXPECT_EQ(run_cli_process({"--port", "ftdi:", "erase"}, home).status, 2);
}

TEST_F(NoSerialPorts, ADeviceWithoutControlLinesIsRefused) {
    int near_end = -1;
    int far_end = -1;
    char name[256] = {};
    if (::openpty(&far_end, &near_end, name, nullptr, nullptr) != 0) GTEST_SKIP() << "no pseudo-terminal";
    ::close(near_end);
    const CliRun run = run_cli_process({"--port", name, "erase"}, home);
    ::close(far_end);
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\nSerial port %1 error!\n").arg(name)))
        << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("its control lines cannot be switched")) << run.err.toStdString();
}

TEST(CliHelp, ListsTheCommandsAndExitStatuses) {
    const CliRun run = run_cli_process({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* text :
         {"\n  erase ", "\n  blank-check ", "\n  program FILE.hex ", "\n  verify FILE.hex ",
          "\n  read OUT.hex ", "--port <PORT>", "--prog-time <MS>", "--trace <FILE.vcd>", "--verify",
          "1 a blank check or verify found differences", "\n  identify ", "--force", "--sim-chip <MODEL>"}) {
        EXPECT_TRUE(run.out.contains(text)) << text;
    }
}

}  // namespace
}  // namespace quillon

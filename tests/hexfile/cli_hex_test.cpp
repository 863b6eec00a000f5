#include <gtest/gtest.h>

#include <QString>
#include <QTextStream>

#include "cli/cli_host.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// A device library with one model whose erased configuration is all FF, so saved files are plain.
std::string plain_device_file(const TempDir& dir, int flash, int eeprom) {
    return dir.write("devices.txt", "model: Plain\nflash: " + std::to_string(flash) +
                                        "\neeprom: " + std::to_string(eeprom) +
                                        "\nconfigerased: FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF\n");
}

TEST(CliHost, StatusGoesToOutAndMessagesToErrAsPlainLines) {
    QString out_text;
    QString err_text;
    QTextStream out(&out_text);
    QTextStream err(&err_text);
    CliHost host(out, err);
    host.set_status("HEX file saved.");
    EXPECT_EQ(host.show_message("Warning!\r\nTwo lines.\r\n", MessageKind::Info, ""), MessageAnswer::Ok);
    EXPECT_EQ(host.show_message("Overwrite?", MessageKind::YesNo, ""), MessageAnswer::No);
    host.yes_no_answer = MessageAnswer::Yes;
    EXPECT_EQ(host.show_message("Overwrite?", MessageKind::YesNo, ""), MessageAnswer::Yes);
    EXPECT_EQ(host.ask_text("Name?", "", "x"), "");
    host.set_loaded_file("a.hex");
    EXPECT_EQ(out_text, "HEX file saved.\n");
    EXPECT_EQ(err_text, "Warning!\nTwo lines.\nOverwrite?\nOverwrite?\nName?\n");
    EXPECT_EQ(host.loaded_file, "a.hex");
}

TEST(CliHex, HexInfoPrintsTheWarningThenTheStatus) {
    TempDir dir;
    const std::string file = dir.write("a.hex", ":020000001234B8\n:0380000001020377\n:00000001FF\n");
    const CliRun run = run_cli_process({"hex-info", q(file)});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    // Then the buffers' configuration by name: the file has none, so the erased one, LVP on.
    EXPECT_TRUE(
        run.out.startsWith("Operation completed. Total 2 (.001K) program bytes loaded.\n"
                           "Configuration settings for PIC18F452:\n  CONFIG1H  OSC = RCIO\n"))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.endsWith("  CONFIG7H  EBTRB = OFF\nWarning: LVP = ON: low-voltage programming is on, "
                         "so the PGM pin serves programming instead of I/O and must be held low in "
                         "the circuit; this board programs with high voltage and does not need it.\n"));
    EXPECT_EQ(run.err.toStdString(),
              "Warning!\nInput program file in Intel Hex Format contains errors.\n"
              "There are data for 3 addresses out of range:\n008000, 008001, 008002.\n");
}

TEST(CliHex, HexInfoRefusesBadAndMissingFilesWithStatus2) {
    TempDir dir;
    const std::string bad = dir.write("bad.hex", ":020000001234B8\r\n:02000000\r\n");
    const CliRun rejected = run_cli_process({"hex-info", q(bad)});
    EXPECT_EQ(rejected.status, 2);
    EXPECT_EQ(rejected.out.toStdString(), "HEX file not loaded!\n");
    EXPECT_EQ(
        rejected.err.toStdString(),
        "Input program file in Intel Hex Format contains errors.\nLine number 2: The record is too short.\n");

    const CliRun missing = run_cli_process({"hex-info", q(dir.file("none.hex"))});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.contains(q(dir.file("none.hex")))) << missing.err.toStdString();
}

TEST(CliHex, ConvertSavesWhatItLoaded) {
    TempDir dir;
    const std::string devices = plain_device_file(dir, 32768, 256);
    const std::string in = dir.write("in.hex", ":10000000FF\n");
    const CliRun rejected =
        run_cli_process({"--device-file", q(devices), "convert", q(in), q(dir.file("out.hex"))});
    EXPECT_EQ(rejected.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.hex")));

    dir.write("in.hex", ":020000001234B8\n");
    const CliRun run =
        run_cli_process({"--device-file", q(devices), "convert", q(in), q(dir.file("out.hex"))});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              "Operation completed. Total 2 (.001K) program bytes loaded.\nHEX file saved.\n");
    EXPECT_EQ(TempDir::read(dir.file("out.hex")),
              ":020000040000FA\r\n:020000001234B8\r\n:020000040030CA\r\n"
              ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n");
}

TEST(CliHex, ConvertReportsAFailedSaveWithStatus2) {
    TempDir dir;
    const std::string in = dir.write("in.hex", ":020000001234B8\n");
    const CliRun run = run_cli_process({"convert", q(in), q(dir.file("no/such/out.hex"))});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.endsWith("HEX file not saved!\n")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("could not be saved")) << run.err.toStdString();
}

}  // namespace
}  // namespace quillon

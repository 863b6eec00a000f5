// quillon-cli doctor and --help as a user runs them. No real serial device is opened: the ports
// are the simulated board, files of the test's own, and numbers that lead into an empty folder.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <filesystem>

#include "adapters/port_registry.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

TEST(CliDoctor, OnTheSimulatedBoardEstimatesForTypicalPorts) {
    const CliRun run = run_cli_process({"--model", "PIC18F452", "doctor", "--port", "sim"});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("ok       library  Model 1: PIC18F452 (from --model) in "))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.contains("ok       port     the simulated board: there is no serial port to check.\n"));
    EXPECT_TRUE(run.out.contains("Estimated times for a full PIC18F452:\n  built-in UART (typical)    "));
    EXPECT_TRUE(run.out.contains("\n  USB adapter (typical)      "));
    EXPECT_TRUE(run.out.contains("\n  FTDI adapter, bit-bang (--port ftdi)  program "));
    EXPECT_TRUE(run.out.endsWith("No problems found.\n"));

    const CliRun json = run_cli_process({"--model", "PIC18F452", "doctor", "--port", "sim", "--json"});
    ASSERT_EQ(json.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object["problems"].toInt(), 0);
    EXPECT_TRUE(object["line_costs"].isNull());
    const QJsonObject estimates = object["estimates"].toObject();
    EXPECT_EQ(estimates["model"].toString(), "PIC18F452");
    const QJsonArray ports = estimates["ports"].toArray();
    ASSERT_EQ(ports.size(), 3);
    const QJsonArray operations = ports[0].toObject()["operations"].toArray();
    ASSERT_EQ(operations.size(), 3);
    EXPECT_EQ(operations[0].toObject()["operation"].toString(), "program");
    EXPECT_GT(operations[1].toObject()["dsr_reads"].toDouble(), 16 * 32768.0);
    EXPECT_EQ(ports[1].toObject()["change_us"].toDouble(), 1000.0);
    EXPECT_GT(ports[1].toObject()["read_s"].toDouble(), ports[0].toObject()["read_s"].toDouble());
    // The fast path: the modelled adapter's time, minutes below the USB adapter's.
    EXPECT_LT(ports[2].toObject()["read_s"].toDouble(), ports[1].toObject()["read_s"].toDouble() / 20);
}

TEST(CliDoctor, AMissingDeviceIsAProblemWithStatus1) {
    TempDir dir;
    const CliRun run = run_cli_process({"doctor", "--port", q(dir.file("ttyGONE0"))});
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains("warning  port     " + q(dir.file("ttyGONE0")) + " is none of the port numbers"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("problem  device   " + q(dir.file("ttyGONE0")) + " does not exist; "));
    EXPECT_TRUE(run.out.contains("Estimated times for a full PIC18F452:\n  built-in UART (typical)"))
        << "without a port the estimates are for typical ones";

    const std::string file = dir.write("ttyFILE0", "");
    const CliRun on_file = run_cli_process({"doctor", "--port", q(file), "--json"});
    EXPECT_EQ(on_file.status, 1);
    const QJsonObject object = QJsonDocument::fromJson(on_file.out.toUtf8()).object();
    EXPECT_EQ(object["problems"].toInt(), 1);
    EXPECT_EQ(object["port"].toObject()["device"].toString(), q(file));
    const QJsonArray checks = object["checks"].toArray();
    const QJsonObject device = checks[2].toObject();
    EXPECT_EQ(device["name"].toString(), "device");
    EXPECT_EQ(device["verdict"].toString(), "problem");
    EXPECT_TRUE(device["finding"].toString().contains("is no device but a file or folder"));
}

TEST(CliDoctor, WithoutPortItExaminesThePortTheProgramUses) {
    TempDir dir;
    const QString home = q(dir.file("home"));
    {
        QSettings settings(home + "/.config/Ardentix Quillon.ini", QSettings::IniFormat);
        settings.setValue("Serial Port Number", 6);
        for (int number = 1; number <= 16; ++number)
            settings.setValue(QStringLiteral("Serial Port Device %1").arg(number),
                              q(dir.file("missing-" + std::to_string(number))));
    }
    const CliRun run = run_cli_process({"doctor"}, home);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.out.contains("ok       port     COM6 is " + q(dir.file("missing-6")) +
                         " (the setting \"Serial Port Device 6\" replaces /dev/ttyUSB1); chosen by the "
                         "setting \"Serial Port Number\".\n"))
        << run.out.toStdString();
}

TEST(CliDoctor, ALibraryThatCannotBeLoadedIsAProblemButThePortIsStillExamined) {
    TempDir dir;
    // A copy of the program in a folder of its own finds no device library beside it.
    const std::filesystem::path bin = std::filesystem::path(dir.path()) / "lonely" / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::copy_file(QUILLON_CLI, bin / "quillon-cli");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", q(dir.path()));
    environment.insert("XDG_CONFIG_HOME", q(dir.file(".config")));
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString((bin / "quillon-cli").string()), {"doctor", "--port", "sim"});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (out.contains("ok       library")) GTEST_SKIP() << "a device library is installed on this machine";
    EXPECT_EQ(process.exitCode(), 1) << out.toStdString();
    EXPECT_TRUE(out.startsWith("problem  library  the device library cannot be used (see above). Fix: "))
        << out.toStdString();
    EXPECT_TRUE(out.contains("ok       port     the simulated board")) << out.toStdString();
    EXPECT_FALSE(out.contains("Estimated times"));
}

#ifdef QUILLON_VPORT
// On the virtual serial port, with each call made to take as long as on a USB adapter.
TEST(CliDoctor, OnTheVirtualSerialPortMeasuresTheLinesAndFindsTheBoard) {
    TempDir dir;
    const CliRun run =
        run_cli_on_virtual_port({"--call-delay-us", "300"},
                                {"--model", "PIC18F242", "doctor", "--port", "{port}"}, q(dir.file("home")));
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    for (const char* line : {"\nok       device   /dev/pts/", "\nok       access   ",
                             "\nok       kind     the virtual serial port of quillon-vport",
                             "\nok       open     opens with 56000,n,8,1",
                             "\nok       board    DATA IN followed DATA OUT in all 200 reads"}) {
        EXPECT_TRUE(run.out.contains(QLatin1String(line))) << line << " in\n" << run.out.toStdString();
    }
    const QRegularExpressionMatch cost =
        QRegularExpression(R"(\nok       lines    a line change takes ([0-9.]+) us)").match(run.out);
    ASSERT_TRUE(cost.hasMatch()) << run.out.toStdString();
    EXPECT_GE(cost.captured(1).toDouble(), 300);
    EXPECT_TRUE(run.out.contains("Estimated times for a full PIC18F242:\n  this port (measured)"))
        << run.out.toStdString();
}
#endif

TEST(CliDoctor, BadUsageIsStatus2) {
    TempDir dir;
    const CliRun number = run_cli_process({"doctor", "--port", "17"});
    EXPECT_EQ(number.status, 2);
    EXPECT_EQ(number.err, QString::fromStdString("quillon-cli: " + port_usage_text() + "\n"));
    EXPECT_EQ(run_cli_process({"doctor", "extra"}).status, 2);
    EXPECT_EQ(run_cli_process({"doctor", "--port", "sim", "--model", "NoSuchChip"}).status, 2);
    EXPECT_EQ(run_cli_process({"doctor", "--port", "sim", "--device-file", q(dir.file("none.txt"))}).status,
              2);
}

TEST(CliHelp, ListsEveryCommandOptionAndExitStatus) {
    const CliRun run = run_cli_process({"--help"});
    ASSERT_EQ(run.status, 0);
    for (const char* command :
         {"models", "show", "hex-info FILE.hex", "convert IN.hex OUT.hex", "erase", "blank-check",
          "program FILE.hex", "verify FILE.hex", "read OUT.hex", "check-devices", "doctor"}) {
        EXPECT_TRUE(run.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command)))) << command;
    }
    for (const char* option : {"--device-file <PATH>", "--model <NAME|NUMBER>", "--json", "--port <PORT>",
                               "--prog-time <MS>", "--trace <FILE.vcd>", "--verify", "--help", "--version"}) {
        EXPECT_TRUE(run.out.contains(QLatin1String(option))) << option;
    }
    const QString statuses = run.out.simplified();
    for (const PortForm& form : port_forms()) {
        const QString help = QString::fromUtf8(form.help.data(), static_cast<qsizetype>(form.help.size()));
        EXPECT_TRUE(statuses.contains(help)) << form.help;
    }
    EXPECT_TRUE(
        statuses.contains("Exit status: 0 success; 1 a blank check or verify found differences, "
                          "check-devices found a failing model, doctor a problem or identify an unknown "
                          "chip; 2 bad usage or bad input; 3 programmer port error, a run ended by a "
                          "fault, erase or program refused because the chip in the socket is not the "
                          "selected model (see identify and --force), or no chip answers; 4 a chip "
                          "operation stopped by SIGINT or SIGTERM."))
        << run.out.toStdString();
}

}  // namespace
}  // namespace quillon

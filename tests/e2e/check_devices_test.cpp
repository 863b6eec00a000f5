// quillon-cli check-devices on the supplied library and on device files a user got wrong.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstdlib>

#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Sound values; the scripts come from the slots each model names.
std::string model(const std::string& name, const std::string& erase_slot, const std::string& extra = {}) {
    return "model: " + name +
           "\r\nflash: 16\r\neeprom: 0\r\nconfigerased: 00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40\r\n"
           "voltageseq: vddvpp\r\nprogtime: 2\r\npagesize: 8\r\nerasealg: " +
           erase_slot + "\r\nprogramalg: 1\r\nreadalg: 1\r\nblankcheckalg: 1\r\nverifyalg: 1\r\n" + extra;
}

TEST(CliCheckDevices, EverySuppliedModelPassesOnItsSimulatedChip) {
    const CliRun run = run_cli_process({"check-devices"});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.out.count(": passed, also on the simulated chip\n"), 22) << run.out.toStdString();
    EXPECT_TRUE(run.out.startsWith("PIC18F452 (model 1): passed"));
    EXPECT_TRUE(
        run.out.contains(QRegularExpression("\n22 models checked in .*quillondevices.txt: 22 passed, "
                                            "0 failed\\.\n$")))
        << run.out.toStdString();

    const CliRun json = run_cli_process({"check-devices", "--json", "--model", "PIC18F4550"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_TRUE(object["passed"].toBool());
    const QJsonArray models = object["models"].toArray();
    ASSERT_EQ(models.size(), 1);
    const QJsonObject only = models[0].toObject();
    EXPECT_EQ(only["name"].toString(), "PIC18F4550");
    EXPECT_EQ(only["number"].toInt(), 12);
    EXPECT_TRUE(only["simulated"].toBool());
    const QJsonObject times = only["virtual_ms"].toObject();
    EXPECT_EQ(times.size(), 5);
    EXPECT_GT(times["program"].toDouble(), times["erase"].toDouble());
}

TEST(CliCheckDevices, NamesEachFaultWithItsModelAndScript) {
    TempDir dir;
    const std::string text =
        "erasealgdef 1: begin,end\r\nprogramalgdef 1: begin,end\r\nreadalgdef 1: begin,end\r\n"
        "blankcheckalgdef 1: begin,end\r\nverifyalgdef 1: begin,end\r\n"
        "erasealgdef 2: begin,s00-zz,end\r\n"
        "erasealgdef 3: begin,setflashloop,end\r\n"
        "erasealgdef 4: begin,ifpage,end\r\n"
        "erasealgdef 5: begin,loop,end\r\n"
        "erasealgdef 6: begin,calcflashpage,end\r\n"
        "erasealgdef 7: begin,s0d-flash,end\r\n"
        "erasealgdef 8: begin,end,end\r\n"
        "erasealgdef 42: begin,end\r\n" +
        model("Sound", "1") + model("Unknown word", "2") + model("Open loop", "3") +
        model("Open page block", "4") + model("Early loop", "5") +
        model("No page size", "6", "pagesize: 0\r\n") + model("Odd FLASH", "7", "flash: 15\r\n") +
        model("Unbalanced", "8") +
        model("Bad configuration", "1", "configerased: 00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F\r\n") +
        model("Empty slot", "9") + model("Slow pulse", "1", "progtime: 31\r\n");
    const CliRun run = run_cli_process({"--device-file", q(dir.write("devices.txt", text)), "check-devices"});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        "Sound (model 1): passed (the simulator has no such chip, so the scripts were not run)",
        "Unknown word (model 2): failed: erase script (slot 2): Instruction 2 's00-zz' is not an instruction",
        "Open loop (model 3): failed: erase script (slot 3): Instruction 2 'setflashloop' has no \"loop\" "
        "after it",
        "Open page block (model 4): failed: erase script (slot 4): Instruction 2 'ifpage' has no "
        "\"endifpage\" "
        "after it",
        "Early loop (model 5): failed: erase script (slot 5): Instruction 2 'loop' comes before any "
        "\"setflashloop\" or \"seteepromloop\"",
        "No page size (model 6): failed: erase script (slot 6): Instruction 2 'calcflashpage' needs a page "
        "size, "
        "but the model's page size is 0",
        "Odd FLASH (model 7): failed: erase script (slot 7): The FLASH size 15 is odd, but the script sends "
        "FLASH "
        "in 16-bit words",
        "Unbalanced (model 8): failed: erase script (slot 8): Instruction 3 'end' has no \"begin\" before it",
        "Bad configuration (model 9): failed: configerased: \"00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F\" is "
        "not 14 "
        "hexadecimal pairs (unreadable: CONF7H)",
        "Empty slot (model 10): failed: erase script: missing: the model's erasealg: line is absent or names "
        "an "
        "empty slot",
        "Slow pulse (model 11): failed: progtime: 31 ms is outside 1 to 30 ms",
        "Line 13: slot number outside 0 to 20; ignored",
        "Line 132: erasealg: names slot 9, which is empty at this line; a slot must be defined above the "
        "models "
        "that use it",
    };
    for (int i = 0; i < expected.size(); ++i) {
        ASSERT_LT(i, lines.size()) << run.out.toStdString();
        EXPECT_EQ(lines[i], expected[i]);
    }
    EXPECT_TRUE(lines.back().endsWith(": 1 passed, 10 failed; 2 lines of the file had no effect."))
        << lines.back().toStdString();
}

TEST(CliCheckDevices, ReportsWhatTheSimulatedChipRefusedAsJson) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    // A PIC18F452 whose erase waits 5 ms, half of what the chip needs.
    const std::string text =
        TempDir::read(std::string(source) + "/data/quillondevices.txt") +
        "erasealgdef 9: begin,s00-0e3c,s00-6ef8,s00-0e00,s00-6ef7,s00-0e04,s00-6ef6,s0c-0080,"
        "s00-0000,s00-0000,w5,end\r\n" +
        model("PIC18F452", "9") + "flash: 32768\r\neeprom: 256\r\nprogramalg: 1\r\n";
    TempDir dir;
    const QString file = q(dir.write("devices.txt", text));
    const CliRun run = run_cli_process({"--device-file", file, "--model", "23", "check-devices", "--json"});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_FALSE(object["passed"].toBool());
    const QJsonObject checked = object["models"].toArray()[0].toObject();
    EXPECT_EQ(checked["number"].toInt(), 23);
    const QJsonObject fault = checked["faults"].toArray()[0].toObject();
    EXPECT_EQ(fault["script"].toString(), "erase");
    EXPECT_EQ(fault["slot"].toInt(), 9);
    EXPECT_TRUE(fault["text"].toString().startsWith("the chip refused: supply off")) << run.out.toStdString();
    EXPECT_EQ(object["summary"].toObject()["failed"].toInt(), 1);
}

TEST(CliCheckDevices, AnUnusableFileIsStatus2) {
    TempDir dir;
    const CliRun missing = run_cli_process({"--device-file", q(dir.file("none.txt")), "check-devices"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.contains("was not found")) << missing.err.toStdString();
    const CliRun no_model = run_cli_process(
        {"--device-file", q(dir.write("empty.txt", "erasealgdef 1: begin,end\r\n")), "check-devices"});
    EXPECT_EQ(no_model.status, 2);
    EXPECT_TRUE(no_model.err.contains("defines no model"));
}

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

TEST(CliDevices, ListsTheSuppliedModels) {
    const CliRun run = run_cli_process({"models"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("PIC18F452")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("32768"));

    const CliRun json = run_cli_process({"models", "--json"});
    ASSERT_EQ(json.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object["models"].toArray()[0].toObject()["name"].toString(), "PIC18F452");
}

TEST(CliDevices, ShowsQuirkyScriptsWordByWord) {
    TempDir dir;
    // A byte-order mark before the first line, and names that look like numbers or start blank.
    const std::string file = dir.write("devices.txt",
                                       "\xEF\xBB\xBF"
                                       "erasealgdef 1: Begin, end,,\r\n"
                                       "model: First\r\n"
                                       "model: Tiny\r\n"
                                       "flash: 128\r\n"
                                       "configerased: 01 02 03 04 05 06 07 08 09 0a 0B 0C 0D zz\r\n"
                                       "voltageseq: vppvdd\r\n"
                                       "erasealg: 1\r\n"
                                       "setting: 1h OSC 07 HS=02 RC=03\r\n"
                                       "model:  Lead\r\n"
                                       "model: 452\r\n"
                                       "model: Lead\r\n");
    const CliRun run = run_cli_process({"--device-file", q(file), "--model", "tiny", "show"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("model_name: Tiny\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("erased_config: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D -1\n"));
    EXPECT_TRUE(run.out.contains("voltage_sequence: 2\n"));
    EXPECT_TRUE(run.out.contains("erase_script: 3 words\n     1 \"begin\"\n     2 \" end\"\n     3 \"\"\n"));
    EXPECT_TRUE(run.out.contains("verify_script: 1 word\n     1 \"\"\n"));
    EXPECT_TRUE(run.out.endsWith("settings: 1\n  1H  OSC (bits 07): HS RC\n")) << run.out.toStdString();

    // Names are matched as stored, before numbers.
    const std::pair<const char*, const char*> choices[] = {
        {" Lead", "Model 3:  Lead"}, {"452", "Model 4: 452"},     {"lead", "Model 5: Lead"},
        {"3", "Model 3:  Lead"},     {" tiny ", "Model 2: Tiny"},
    };
    for (const auto& [wanted, line] : choices) {
        const CliRun chosen = run_cli_process({"--device-file", q(file), "--model", wanted, "show"});
        EXPECT_TRUE(chosen.out.startsWith(QString::fromLatin1(line) + " (from --model)\n"))
            << wanted << ": " << chosen.out.toStdString() << chosen.err.toStdString();
    }

    const CliRun json = run_cli_process({"--device-file", q(file), "--model", "2", "show", "--json"});
    ASSERT_EQ(json.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object["flash_size"].toInt(), 128);
    EXPECT_EQ(object["erased_config"].toArray()[13].toInt(), -1);
    EXPECT_EQ(object["erase_script"].toArray().size(), 3);
    EXPECT_EQ(object["settings"].toArray()[0].toObject()["values"].toArray()[1].toObject()["name"].toString(),
              "RC");
}

TEST(CliDevices, RefusesBadUsageAndUnusableFilesWithStatus2) {
    TempDir dir;
    const std::string no_model = dir.write("none.txt", "erasealgdef 1: begin,end\n");
    const struct {
        QStringList arguments;
        QString message;
    } cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command"},
        {{"models", "extra"}, "models takes"},
        {{"--device-file", q(dir.file("missing.txt")), "models"}, "was not found"},
        {{"--device-file", q(no_model), "models"}, "defines no model"},
        {{"--model", "0", "show"}, "no model \"0\""},
        {{"--model", "PIC99", "show"}, "no model \"PIC99\""},
        {{"--bogus", "models"}, "Unknown option"},
        // Options that would do nothing for the command.
        {{"--json", "erase"}, "option --json does not apply to erase"},
        {{"hex-info", "a.hex", "--trace", "run.vcd"}, "option --trace does not apply to hex-info"},
        {{"convert", "a.hex", "b.hex", "--prog-time", "5"}, "option --prog-time does not apply to convert"},
        {{"--port", "sim", "show"}, "option --port does not apply to show"},
        {{"--verify", "erase"}, "option --verify does not apply to erase"},
    };
    for (const auto& c : cases) {
        const CliRun run = run_cli_process(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace quillon

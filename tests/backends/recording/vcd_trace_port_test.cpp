#include "backends/recording/vcd_trace_port.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <fstream>
#include <map>
#include <sstream>

#include "backends/recording/recording_port.h"
#include "engine/script/programmer_lines.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

// A value change dump as a reader sees it.
struct Dump {
    std::string timescale;
    std::map<std::string, std::string> names;  // identifier -> wire name
    struct Change {
        std::int64_t time;
        std::string wire;
        char value;
    };
    std::vector<Change> changes;

    // The changes of one wire after the initial values.
    std::vector<std::pair<std::int64_t, char>> of(const std::string& wire) const {
        std::vector<std::pair<std::int64_t, char>> result;
        for (const Change& change : changes)
            if (change.wire == wire) result.emplace_back(change.time, change.value);
        return result;
    }
};

// A strict reader of the subset of VCD the trace writes; fails the test on anything else.
Dump parse_vcd(const std::string& text) {
    Dump dump;
    std::istringstream in(text);
    std::string token;
    auto read_until_end = [&in] {
        std::vector<std::string> words;
        std::string word;
        while (in >> word && word != "$end")
            words.push_back(word);
        EXPECT_EQ(word, "$end");
        return words;
    };
    bool in_definitions = true;
    std::int64_t time = -1;
    while (in >> token) {
        if (in_definitions) {
            if (token == "$timescale") {
                const auto words = read_until_end();
                for (const auto& w : words)
                    dump.timescale += w;
            } else if (token == "$var") {
                const auto words = read_until_end();
                EXPECT_EQ(words.size(), 4u);
                EXPECT_EQ(words[0], "wire");
                EXPECT_EQ(words[1], "1");
                EXPECT_FALSE(dump.names.contains(words[2])) << "identifier used twice";
                dump.names[words[2]] = words[3];
            } else if (token == "$version" || token == "$scope" || token == "$upscope" || token == "$date") {
                read_until_end();
            } else if (token == "$enddefinitions") {
                read_until_end();
                in_definitions = false;
            } else {
                ADD_FAILURE() << "unexpected header token " << token;
            }
            continue;
        }
        if (token == "$dumpvars" || token == "$end") continue;
        if (token[0] == '#') {
            const std::int64_t next = std::stoll(token.substr(1));
            EXPECT_GT(next, time) << "times must increase";
            time = next;
            continue;
        }
        const char value = token[0];
        EXPECT_NE(std::string("01xz").find(value), std::string::npos) << token;
        const std::string id = token.substr(1);
        EXPECT_TRUE(dump.names.contains(id)) << "undeclared identifier " << id;
        EXPECT_GE(time, 0) << "a change before the first time";
        dump.changes.push_back({time, dump.names[id], value});
    }
    EXPECT_FALSE(in_definitions);
    return dump;
}

FakeClock clock_at(std::chrono::nanoseconds time) {
    FakeClock clock;
    clock.advance(time);
    return clock;
}

struct TracedLines {
    RecordingPort board;
    FakeClock clock = clock_at(std::chrono::seconds(3));  // times count from the start of the trace
    RecordingHost host;
    std::ostringstream out;
    VcdTracePort trace{board, clock, out};
    ProgrammerLines lines{trace, host, clock};
};

TEST(VcdTracePort, WritesAValidDumpOfTheFourSignals) {
    TracedLines t;
    t.lines.power_up(1);
    t.lines.send_command(0x0D, 0x0001);
    t.board.dsr_level = true;
    t.lines.read_data_in();
    t.lines.power_down();
    const Dump dump = parse_vcd(t.out.str());

    EXPECT_EQ(dump.timescale, "1us");
    std::vector<std::string> wires;
    for (const auto& [id, name] : dump.names)
        wires.push_back(name);
    std::sort(wires.begin(), wires.end());
    EXPECT_EQ(wires, (std::vector<std::string>{"clock", "data_in", "data_out", "vdd_vpp"}));

    // Initial values: the supply off, the lines unknown until driven.
    ASSERT_GE(dump.changes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dump.changes[i].time, 0);
        EXPECT_EQ(dump.changes[i].value, dump.changes[i].wire == "vdd_vpp" ? '0' : 'x');
    }

    // Power up at once, power down after the 100 ms of power-up settling.
    const std::vector<std::pair<std::int64_t, char>> supply = {{0, '0'}, {0, '1'}, {100000, '0'}};
    EXPECT_EQ(dump.of("vdd_vpp"), supply);
    const std::vector<std::pair<std::int64_t, char>> data_in = {{0, 'x'}, {100000, '1'}};
    EXPECT_EQ(dump.of("data_in"), data_in);

    // The bits the chip latches on falling clock edges are the command 1101 and the operand 0001.
    std::vector<int> latched;
    char data = 'x';
    for (const Dump::Change& change : dump.changes) {
        if (change.wire == "data_out") data = change.value;
        if (change.wire == "clock" && change.value == '0') latched.push_back(data == '1' ? 1 : 0);
    }
    std::vector<int> expected = {1, 0, 1, 1, 1};
    expected.resize(4 + 16, 0);
    EXPECT_EQ(latched, expected);
}

TEST(VcdTracePort, ForwardsEverythingAndRecordsOnlyWhatHappened) {
    RecordingPort board;
    FakeClock clock;
    std::ostringstream out;
    {
        VcdTracePort trace(board, clock, out);
        trace.set_dtr(true);
        trace.set_dtr(true);  // no change of level, nothing written
        board.dsr_level = true;
        EXPECT_TRUE(trace.read_dsr());
        trace.write_byte(1);
        board.fail_after_changes = board.change_count();
        trace.set_rts(true);  // the port has failed: nothing changed, nothing recorded
        EXPECT_TRUE(trace.failed());
        EXPECT_EQ(trace.failure_text(), "the port was disconnected");
        EXPECT_TRUE(trace.trace_ok());
    }
    const std::vector<LineEvent> forwarded = {{LineEvent::Kind::Dtr, 1},
                                              {LineEvent::Kind::Dtr, 1},
                                              {LineEvent::Kind::ReadDsr, 1},
                                              {LineEvent::Kind::WriteByte, 1}};
    EXPECT_EQ(board.events(), forwarded);
    const Dump dump = parse_vcd(out.str());
    EXPECT_EQ(dump.of("data_out").size(), 2u);
    EXPECT_EQ(dump.of("clock").size(), 1u);  // the initial x only
}

// GTKWave's converter reads the trace into its own format; reading that back gives the same
// changes, so a waveform viewer sees what the trace meant.
TEST(VcdTracePort, GtkWaveReadsTheTraceAsWritten) {
    const QString to_fst = QStandardPaths::findExecutable(QStringLiteral("vcd2fst"));
    const QString from_fst = QStandardPaths::findExecutable(QStringLiteral("fst2vcd"));
    if (to_fst.isEmpty() || from_fst.isEmpty())
        GTEST_SKIP() << "GTKWave's vcd2fst and fst2vcd are not installed";

    TempDir dir;
    const std::string vcd_path = dir.file("trace.vcd");
    const std::string fst_path = dir.file("trace.fst");
    {
        std::ofstream file(vcd_path);
        RecordingPort board;
        FakeClock clock;
        RecordingHost host;
        VcdTracePort trace(board, clock, file);
        ProgrammerLines lines(trace, host, clock);
        lines.power_up(2);
        board.dsr_level = true;
        lines.read_byte(0x09);
        lines.programming_pulse(3);
        lines.power_down();
    }
    QProcess convert;
    convert.start(to_fst, {QString::fromStdString(vcd_path), QString::fromStdString(fst_path)});
    ASSERT_TRUE(convert.waitForFinished(30000));
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    QProcess back;
    back.start(from_fst, {QString::fromStdString(fst_path)});
    ASSERT_TRUE(back.waitForFinished(30000));
    ASSERT_EQ(back.exitCode(), 0);

    const Dump original = parse_vcd(TempDir::read(vcd_path));
    const Dump converted = parse_vcd(back.readAllStandardOutput().toStdString());
    EXPECT_EQ(converted.timescale, "1us");
    for (const char* wire : {"data_out", "clock", "data_in", "vdd_vpp"})
        EXPECT_EQ(converted.of(wire), original.of(wire)) << wire;
}

}  // namespace
}  // namespace quillon

#include "ports/port_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/memory_settings_store.h"
#include "support/fake_port_provider.h"
#include "support/recording_host.h"

namespace quillon {
namespace {

using Kind = LineEvent::Kind;

struct Rig {
    AppState state;
    MemorySettingsStore settings;
    RecordingHost host;
    FakePortProvider provider;
    PortManager manager{state, settings, host, provider};
};

// A rig whose programmer port COM`number` is open.
void open_on(Rig& rig, int number) {
    rig.provider.openable.insert(number);
    rig.settings.put_number("Serial Port Number", number);
    ASSERT_TRUE(rig.manager.open_programmer_port().ok());
}

TEST(PortScan, ListsEveryPortThatOpensAndDefaultsToTheHighest) {
    Rig rig;
    rig.provider.openable = {3, 7, 16};
    rig.provider.devices[7] = "/dev/ttyUSB2";
    rig.provider.adapters = {"FTDI adapter A50285BI (FT232R): ftdi:A50285BI"};
    rig.manager.scan_ports();
    EXPECT_EQ(rig.state.port_list,
              "- Serial port COM3 available\r\n"
              "- Serial port COM7 available (/dev/ttyUSB2)\r\n"
              "- Serial port COM16 available\r\n"
              "- FTDI adapter A50285BI (FT232R): ftdi:A50285BI");
    EXPECT_EQ(rig.state.default_port, 16);
    ASSERT_EQ(rig.provider.opens.size(), 16u);
    for (const auto& [number, settings] : rig.provider.opens)
        EXPECT_EQ(settings, "9600,n,8,1") << number;
    EXPECT_FALSE(rig.provider.is_open(3));  // a probe closes what it opened
    EXPECT_FALSE(rig.manager.probe_port(0));
    EXPECT_FALSE(rig.manager.probe_port(17));
}

TEST(PortScan, NoPortAtAllLeavesAnEmptyListAndPort2) {
    Rig rig;
    rig.state.port_list = "stale";
    rig.state.default_port = 9;
    rig.manager.scan_ports();
    EXPECT_EQ(rig.state.port_list, "");
    EXPECT_EQ(rig.state.default_port, 2);

    rig.manager.open_programmer_port();
    EXPECT_EQ(rig.state.port_number, 2);
    EXPECT_EQ(rig.host.status(), "Serial port COM2 error!");

    rig.host.text_answers.push_back("");
    rig.manager.menuport();
    ASSERT_EQ(rig.host.prompts.size(), 1u);
    const std::string& prompt = rig.host.prompts[0].prompt;
    const std::string tail = "The list of COM ports that can be opened:\r\n";
    ASSERT_GE(prompt.size(), tail.size());
    EXPECT_EQ(prompt.substr(prompt.size() - tail.size()), tail);
}

TEST(PortOpen, FirstRunStoresTheDefaultsAndOpensWithTheStoredBaudRate) {
    Rig rig;
    rig.provider.openable = {4};
    rig.state.default_port = 4;
    EXPECT_TRUE(rig.manager.open_programmer_port().ok());
    EXPECT_EQ(rig.settings.stored("Serial Port Number").number, 4);
    EXPECT_EQ(rig.settings.stored("Serial Port Baud Rate").text, "56000");
    EXPECT_EQ(rig.provider.opens.back(), (std::pair<int, std::string>{4, "56000,n,8,1"}));
    EXPECT_EQ(rig.state.port_number, 4);
    EXPECT_EQ(rig.state.baud_setting, "56000");
    EXPECT_TRUE(rig.state.port_open);
    EXPECT_NE(rig.manager.port(), nullptr);
    EXPECT_EQ(rig.host.status(), "Serial port COM4 ready...");
    EXPECT_TRUE(rig.host.messages.empty());

    // DATA OUT and CLOCK are released whatever the system did when it opened the port.
    const std::vector<LineEvent> released = {{Kind::Dtr, 0}, {Kind::Rts, 0}};
    EXPECT_EQ(rig.provider.last_port().events(), released);

    rig.settings.put_text("Serial Port Baud Rate", "9600");
    rig.manager.open_programmer_port();  // reopening releases the old port first
    EXPECT_EQ(rig.provider.opens.back(), (std::pair<int, std::string>{4, "9600,n,8,1"}));
    EXPECT_EQ(rig.host.status(), "Serial port COM4 ready...");
}

TEST(PortOpen, APortThatDoesNotOpenLeavesTheErrorInTheStatusLine) {
    Rig rig;
    open_on(rig, 5);
    rig.settings.put_number("Serial Port Number", 6);  // nothing behind COM6
    const Result<void, PortError> error = rig.manager.open_programmer_port();
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().kind, PortErrorKind::NoSuchDevice);
    EXPECT_EQ(rig.host.status(), "Serial port COM6 error!");
    EXPECT_FALSE(rig.state.port_open);
    EXPECT_EQ(rig.manager.port(), nullptr);
    EXPECT_FALSE(rig.provider.is_open(5));
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(PortOpen, StoredValuesThePortCannotUseCountAsAPortThatDoesNotOpen) {
    for (const std::int64_t stored : {0, 17, 99, -1}) {
        Rig rig;
        rig.provider.openable = {1, 2, 16};
        rig.settings.put_number("Serial Port Number", stored);
        const auto error = rig.manager.open_programmer_port();
        EXPECT_FALSE(error.ok());
        EXPECT_EQ(rig.host.status(), "Serial port COM" + std::to_string(stored) + " error!");
        EXPECT_TRUE(rig.provider.opens.empty()) << stored;
        EXPECT_FALSE(rig.state.port_open);
    }
    Rig rig;
    rig.provider.openable = {2};
    rig.settings.put_text("Serial Port Baud Rate", "fast");
    ASSERT_FALSE(rig.manager.open_programmer_port().ok());
    EXPECT_EQ(rig.host.status(), "Serial port COM2 error!");
    EXPECT_FALSE(rig.state.port_open);
}

TEST(PortOpen, APortWhoseLinesCannotBeSwitchedIsNotUsed) {
    Rig rig;
    rig.provider.openable = {3};
    rig.provider.fail_after_changes = 0;
    rig.settings.put_number("Serial Port Number", 3);
    const auto error = rig.manager.open_programmer_port();
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().kind, PortErrorKind::Failed);
    EXPECT_EQ(rig.host.status(), "Serial port COM3 error!");
    EXPECT_FALSE(rig.state.port_open);
    EXPECT_FALSE(rig.provider.is_open(3));
}

TEST(PortOpen, MissingPermissionIsExplainedInAnErrorBox) {
    Rig rig;
    rig.provider.errors[5] = make_port_error(PortErrorKind::PermissionDenied, 5, "/dev/ttyUSB0", "dialout");
    rig.settings.put_number("Serial Port Number", 5);
    rig.manager.open_programmer_port();
    EXPECT_EQ(rig.host.status(), "Serial port COM5 error!");
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(rig.host.messages[0].title, "Ardentix Quillon");
    EXPECT_NE(rig.host.messages[0].text.find("sudo usermod -aG dialout $USER"), std::string::npos);

    // A busy port only gets the status line.
    rig.provider.errors[5] = make_port_error(PortErrorKind::Busy, 5, "/dev/ttyUSB0");
    rig.manager.open_programmer_port();
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

TEST(PortOpen, AnAttachedPortStandsInForTheSerialPort) {
    Rig rig;
    open_on(rig, 5);
    auto board = std::make_unique<RecordingPort>();
    RecordingPort* board_port = board.get();
    rig.manager.attach_port(std::move(board), "Simulated board");
    EXPECT_FALSE(rig.provider.is_open(5));
    EXPECT_EQ(rig.manager.port(), board_port);
    EXPECT_TRUE(rig.state.port_open);
    EXPECT_EQ(rig.host.status(), "Simulated board ready...");
    EXPECT_EQ(rig.state.port_label, "Simulated board");
    EXPECT_TRUE(rig.manager.holds(board_port));
    EXPECT_FALSE(board_port->dtr());
    EXPECT_FALSE(board_port->rts());
    EXPECT_EQ(board_port->change_count(), 2);

    rig.state.port_open = false;  // as a run does that found the port failed
    EXPECT_EQ(rig.manager.port(), nullptr);
    EXPECT_TRUE(rig.manager.holds(board_port));  // until it is closed
    rig.state.port_open = true;
    rig.manager.close_port();
    EXPECT_FALSE(rig.state.port_open);
    EXPECT_EQ(rig.manager.port(), nullptr);
    EXPECT_FALSE(rig.manager.holds(board_port));

    // A port whose lines cannot be switched is refused under its own name.
    auto dead = std::make_unique<RecordingPort>();
    dead->fail_after_changes = 0;
    const Result<void, PortError> refused =
        rig.manager.attach_port(std::move(dead), "Serial port /dev/pts/7");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message,
              "Serial port /dev/pts/7 cannot be used: its control lines cannot be switched (the port was "
              "disconnected).");
    EXPECT_EQ(rig.host.status(), "Serial port /dev/pts/7 error!");
    EXPECT_FALSE(rig.state.port_open);
    EXPECT_EQ(rig.manager.port(), nullptr);
}

TEST(ChangePortNumber, AcceptsComPrefixesAndRoundsHalvesToEven) {
    const std::vector<std::pair<std::string, int>> answers = {
        {"COM5", 5}, {"com5", 5}, {"5", 5}, {"cOm 7", 7}, {"2.5", 2}, {"3.5", 4}, {"16", 16}, {"1", 1}};
    for (const auto& [answer, expected] : answers) {
        Rig rig;
        rig.provider.openable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        open_on(rig, 9);
        rig.host.text_answers.push_back(answer);
        rig.manager.menuport();
        EXPECT_EQ(rig.state.port_number, expected) << answer;
        EXPECT_EQ(rig.settings.stored("Serial Port Number").number, expected) << answer;
        EXPECT_EQ(rig.provider.opens.back().first, expected) << answer;
        EXPECT_EQ(rig.host.status(), "Serial port COM" + std::to_string(expected) + " ready...") << answer;
        EXPECT_TRUE(rig.host.messages.empty()) << answer;
    }
}

TEST(ChangePortNumber, RefusesAnythingOutside1To16AndChangesNothing) {
    for (const char* answer : {"17", "0", "x", "com", "0.5", "16.5", "-3", " COM5"}) {
        Rig rig;
        rig.provider.openable = {5, 9};
        open_on(rig, 9);
        ProgrammerPort* before = rig.manager.port();
        const std::size_t opens = rig.provider.opens.size();
        rig.host.text_answers.push_back(answer);
        EXPECT_FALSE(rig.manager.menuport()) << answer;
        ASSERT_EQ(rig.host.messages.size(), 1u) << answer;
        EXPECT_EQ(rig.host.messages[0].text, "Wrong entry!");
        EXPECT_EQ(rig.host.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(rig.host.messages[0].title, "Ardentix Quillon");
        EXPECT_EQ(rig.state.port_number, 9);
        EXPECT_EQ(rig.settings.stored("Serial Port Number").number, 9);
        EXPECT_EQ(rig.manager.port(), before);
        EXPECT_EQ(rig.provider.opens.size(), opens);
    }
}

TEST(ChangePortNumber, AsksWithTheListFromStartUpAndCancelChangesNothing) {
    Rig rig;
    rig.provider.openable = {3, 9};
    rig.manager.scan_ports();
    open_on(rig, 9);
    rig.provider.openable.insert(12);  // plugged in later: not in the list until the next start
    rig.manager.menuport();            // cancelled: the host answers empty text
    ASSERT_EQ(rig.host.prompts.size(), 1u);
    EXPECT_EQ(rig.host.prompts[0].prompt,
              "Please select programmer serial port number [1-16]:\r\n\r\n"
              "The list of COM ports that can be opened:\r\n"
              "- Serial port COM3 available\r\n"
              "- Serial port COM9 available");
    EXPECT_EQ(rig.host.prompts[0].title, "Ardentix Quillon");
    EXPECT_EQ(rig.host.prompts[0].default_text, "9");
    EXPECT_TRUE(rig.state.port_open);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(ChangePortNumber, AChosenPortThatFailsIsStoredAndReported) {
    Rig rig;
    open_on(rig, 9);
    EXPECT_EQ(rig.state.port_label, "Serial port COM9");
    rig.host.text_answers.push_back("4");
    EXPECT_TRUE(rig.manager.menuport());
    EXPECT_EQ(rig.settings.stored("Serial Port Number").number, 4);
    EXPECT_EQ(rig.host.status(), "Serial port COM4 error!");
    EXPECT_EQ(rig.state.port_label, "Serial port COM4");
    EXPECT_FALSE(rig.state.port_open);
    EXPECT_FALSE(rig.provider.is_open(9));
}

TEST(ChangeProgrammingTime, AcceptsOneTo30RoundedAndKeepsItOutOfTheSettings) {
    const std::vector<std::pair<std::string, int>> accepted = {
        {"1", 1}, {"30", 30}, {"29.5", 30}, {"2.5", 2}, {"10 ms", 10}};
    for (const auto& [answer, expected] : accepted) {
        Rig rig;
        rig.state.prog_time_ms = 5;
        rig.host.text_answers.push_back(answer);
        rig.manager.menuprogtime();
        EXPECT_EQ(rig.state.prog_time_ms, expected) << answer;
        EXPECT_TRUE(rig.host.messages.empty());
        EXPECT_EQ(rig.settings.size(), 0u);
        EXPECT_EQ(rig.host.prompts[0].prompt, "Enter new programming time in ms [1-30].");
        EXPECT_EQ(rig.host.prompts[0].default_text, "5");
    }
    for (const char* answer : {"0.5", "31", "30.5", "abc", "-2"}) {
        Rig rig;
        rig.state.prog_time_ms = 5;
        rig.host.text_answers.push_back(answer);
        rig.manager.menuprogtime();
        EXPECT_EQ(rig.state.prog_time_ms, 5) << answer;
        ASSERT_EQ(rig.host.messages.size(), 1u);
        EXPECT_EQ(rig.host.messages[0].text, "Wrong entry!");
        EXPECT_EQ(rig.host.messages[0].kind, MessageKind::Error);
    }
    Rig cancelled;
    cancelled.state.prog_time_ms = 5;
    cancelled.manager.menuprogtime();
    EXPECT_EQ(cancelled.state.prog_time_ms, 5);
    EXPECT_TRUE(cancelled.host.messages.empty());
}

TEST(Pinout, TwelveTextLinesTwoEmptyLinesAndSingleTabs) {
    Rig rig;
    rig.manager.menuportinfo();
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].kind, MessageKind::Ok);
    EXPECT_EQ(rig.host.messages[0].title, "Ardentix Quillon");
    const std::string& text = rig.host.messages[0].text;
    EXPECT_EQ(text, pinout_text());

    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "Serial Port Pinout:");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Pin\tSignal\tDirection");
    EXPECT_EQ(lines[5], "3\tTD\tOutput");
    EXPECT_EQ(lines[7], "5\tGND\t-");
    EXPECT_EQ(lines[8], "6\tDSR\tInput");
    EXPECT_EQ(lines[11], "9\tRI\tInput");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "Directions are defined from the viewpoint of the PC.");
    EXPECT_EQ(text.find("\t\t"), std::string::npos);
    for (std::size_t i = 2; i <= 11; ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 2) << lines[i];
}

}  // namespace
}  // namespace quillon

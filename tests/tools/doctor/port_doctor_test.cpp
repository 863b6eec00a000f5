// The port doctor's checks on machines and ports that the tests describe: each verdict with its
// finding and fix.
#include "tools/doctor/port_doctor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "backends/recording/recording_port.h"
#include "ports/port_errors.h"
#include "ports/serial_device_map.h"
#include "support/fake_system_view.h"
#include "support/timed_port.h"
#include "tools/doctor/ftdi_doctor.h"

namespace quillon {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

// COM5 (/dev/ttyUSB0) on a machine with that adapter plugged in, opening onto a TimedPort.
struct DoctorRig {
    DoctorRig() {
        for (int number = 1; number <= 16; ++number)
            target.port_devices[static_cast<std::size_t>(number - 1)] = default_serial_device(number);
        target.number = 5;
        target.device = "/dev/ttyUSB0";
        target.chosen_by = "--port";
        target.line_settings = "56000,n,8,1";
        system.add_serial("/dev/ttyUSB0");
    }

    DoctorReport run() {
        return examine_port(
            target, system, [this] { return open(); }, clock, 100);
    }

    PortOpenResult open() {
        ++opens;
        if (open_error) return PortOpenResult(failure(*open_error));
        auto made = std::make_unique<TimedPort>(clock, change_cost, read_cost);
        port = made.get();
        configure(*made);
        return PortOpenResult(std::move(made));
    }

    const DoctorCheck* find(const DoctorReport& report, const std::string& name) const {
        for (const DoctorCheck& check : report.checks)
            if (check.name == name) return &check;
        return nullptr;
    }

    DoctorTarget target;
    FakeSystemView system;
    FakeClock clock;
    std::chrono::nanoseconds change_cost = 5us;
    std::chrono::nanoseconds read_cost = 3us;
    std::optional<PortError> open_error;
    std::function<void(TimedPort&)> configure = [](TimedPort&) {};
    TimedPort* port = nullptr;  // valid only inside the run
    int opens = 0;
};

// The check of that name; a copy, so that a report made in the same expression may go.
DoctorCheck check_of(const DoctorRig& rig, const DoctorReport& report, const std::string& name) {
    const DoctorCheck* found = rig.find(report, name);
    if (found == nullptr) {
        ADD_FAILURE() << "no check " << name;
        return {};
    }
    return *found;
}

TEST(PortDoctor, AWorkingPortPassesEveryCheckWithItsMeasuredCost) {
    DoctorRig rig;
    const DoctorReport report = rig.run();
    std::vector<std::string> names;
    for (const DoctorCheck& check : report.checks) {
        names.push_back(check.name);
        EXPECT_EQ(check.verdict, Verdict::Ok) << check.name << ": " << check.finding;
        EXPECT_TRUE(check.fix.empty()) << check.name;
    }
    EXPECT_THAT(names, ::testing::ElementsAre("port", "device", "access", "kind", "open", "lines", "board"));
    EXPECT_FALSE(report.has_problem());
    EXPECT_EQ(check_of(rig, report, "port").finding, "COM5 is /dev/ttyUSB0; chosen by --port");
    EXPECT_EQ(check_of(rig, report, "lines").finding,
              "a line change takes 5.0 us (95% within 5.0 us), a DSR read 3.0 us (95% within 3.0 us)");
    EXPECT_THAT(check_of(rig, report, "board").finding,
                HasSubstr("DATA IN followed DATA OUT in all 100 reads"));
    ASSERT_TRUE(report.costs.has_value());
    EXPECT_DOUBLE_EQ(report.costs->change.mean_us, 5.0);
    EXPECT_DOUBLE_EQ(report.costs->dsr_read.mean_us, 3.0);
}

TEST(PortDoctor, MissingDeviceListsTheSerialDevicesThatExistWithTheirNumbers) {
    DoctorRig rig;
    rig.system = FakeSystemView();
    rig.system.add_serial("/dev/ttyS0");
    rig.system.add_serial("/dev/ttyUSB1");
    rig.system.add_serial("/dev/ttyUSB7");
    rig.system.add_link("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", "/dev/ttyUSB1");
    const DoctorReport report = rig.run();
    const DoctorCheck device = check_of(rig, report, "device");
    EXPECT_EQ(device.verdict, Verdict::Problem);
    EXPECT_EQ(device.finding,
              "/dev/ttyUSB0 does not exist; serial devices here: /dev/ttyS0 (COM1), /dev/ttyUSB1 (COM6, also "
              "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0), /dev/ttyUSB7 (no port number)");
    EXPECT_THAT(device.fix, HasSubstr("quillon-cli --port N"));
    EXPECT_EQ(rig.opens, 0) << "nothing to open";
    EXPECT_EQ(rig.find(report, "access"), nullptr);
    EXPECT_TRUE(report.has_problem());
}

TEST(PortDoctor, WithoutAnySerialDeviceItSaysToConnectTheAdapter) {
    DoctorRig rig;
    rig.system = FakeSystemView();
    const DoctorCheck device = check_of(rig, rig.run(), "device");
    EXPECT_EQ(device.finding, "/dev/ttyUSB0 does not exist; there is no serial device on this computer");
    EXPECT_THAT(device.fix, HasSubstr("connect the programmer's serial adapter"));
    EXPECT_THAT(device.fix, HasSubstr("dmesg"));
}

TEST(PortDoctor, AFileWhereTheDeviceShouldBeIsNoDevice) {
    DoctorRig rig;
    rig.system.devices["/dev/ttyUSB0"].is_char_device = false;
    const DoctorReport report = rig.run();
    EXPECT_EQ(check_of(rig, report, "device").verdict, Verdict::Problem);
    EXPECT_THAT(check_of(rig, report, "device").finding, HasSubstr("is no device but a file or folder"));
    EXPECT_EQ(rig.opens, 0);
}

TEST(PortDoctor, MissingPermissionNamesTheGroupAndTheExactCommand) {
    DoctorRig rig;
    rig.system.devices["/dev/ttyUSB0"].user_may_read_write = false;
    rig.open_error = make_port_error(PortErrorKind::PermissionDenied, 5, "/dev/ttyUSB0", "dialout");
    const DoctorReport report = rig.run();
    const DoctorCheck access = check_of(rig, report, "access");
    EXPECT_EQ(access.verdict, Verdict::Problem);
    EXPECT_EQ(access.finding, "/dev/ttyUSB0 belongs to the group \"dialout\" and user alice is not a member");
    EXPECT_EQ(access.fix, "sudo usermod -aG dialout alice, then log out and log in again");
    EXPECT_EQ(rig.find(report, "open"), nullptr) << "the refused open says nothing new";
    EXPECT_EQ(rig.opens, 1);
}

TEST(PortDoctor, AUserAddedToTheGroupMustLogInAgain) {
    DoctorRig rig;
    rig.system.devices["/dev/ttyUSB0"].user_may_read_write = false;
    rig.system.listed_groups = {"dialout"};
    const DoctorCheck access = check_of(rig, rig.run(), "access");
    EXPECT_EQ(access.verdict, Verdict::Problem);
    EXPECT_THAT(access.finding, HasSubstr("this login session started before that"));
    EXPECT_EQ(access.fix, "log out and log in again (or restart the computer)");
}

TEST(PortDoctor, ADeviceOnlyRootMayOpenNeedsTheAdministrator) {
    DoctorRig rig;
    DeviceFacts& facts = rig.system.devices["/dev/ttyUSB0"];
    facts.user_may_read_write = false;
    facts.owner_group = "root";
    const DoctorCheck access = check_of(rig, rig.run(), "access");
    EXPECT_EQ(access.verdict, Verdict::Problem);
    EXPECT_EQ(access.fix, "ask the administrator of this computer for read and write access to /dev/ttyUSB0");
    EXPECT_THAT(access.fix, Not(HasSubstr("usermod")));
}

TEST(PortDoctor, ABusyPortNamesTheProgramThatHoldsIt) {
    DoctorRig rig;
    rig.system.held["/dev/ttyUSB0"] = {{4242, "minicom", "/var/lock/LCK..ttyUSB0", true}};
    rig.open_error = make_port_error(PortErrorKind::Busy, 5, "/dev/ttyUSB0");
    const DoctorReport report = rig.run();
    const DoctorCheck open = check_of(rig, report, "open");
    EXPECT_EQ(open.verdict, Verdict::Problem);
    EXPECT_EQ(open.finding, "the port is in use or locked by minicom (process 4242)");
    EXPECT_EQ(open.fix, "close minicom (process 4242)");
    EXPECT_EQ(rig.find(report, "lines"), nullptr);
    EXPECT_FALSE(report.costs.has_value());
}

TEST(PortDoctor, AStaleLockFileIsToBeRemoved) {
    DoctorRig rig;
    rig.system.held["/dev/ttyUSB0"] = {{4242, "", "/var/lock/LCK..ttyUSB0", false}};
    rig.open_error = make_port_error(PortErrorKind::Busy, 5, "/dev/ttyUSB0");
    const DoctorCheck open = check_of(rig, rig.run(), "open");
    EXPECT_EQ(open.finding, "the port is in use or locked");
    EXPECT_EQ(open.fix, "remove the lock file /var/lock/LCK..ttyUSB0 of a program that has ended");
}

TEST(PortDoctor, ABusyAcmDeviceMentionsModemManager) {
    DoctorRig rig;
    rig.target.number = 9;
    rig.target.device = "/dev/ttyACM0";
    rig.system.add_serial("/dev/ttyACM0");
    rig.open_error = make_port_error(PortErrorKind::Busy, 9, "/dev/ttyACM0");
    const DoctorCheck open = check_of(rig, rig.run(), "open");
    EXPECT_THAT(open.fix, HasSubstr("close the program that uses the port"));
    EXPECT_THAT(open.fix, HasSubstr("ModemManager"));
}

TEST(PortDoctor, APortThatOpensButIsHeldElsewhereIsAWarning) {
    DoctorRig rig;
    rig.system.held["/dev/ttyUSB0"] = {{77, "screen", "", true}};
    const DoctorReport report = rig.run();
    const DoctorCheck open = check_of(rig, report, "open");
    EXPECT_EQ(open.verdict, Verdict::Warning);
    EXPECT_THAT(open.finding, HasSubstr("screen (process 77) also holds it"));
    EXPECT_EQ(open.fix, "close screen (process 77)");
    EXPECT_FALSE(report.has_problem());
}

TEST(PortDoctor, ManyHoldersAreCountedNotListed) {
    DoctorRig rig;
    for (int pid = 1; pid <= 6; ++pid)
        rig.system.held["/dev/ttyUSB0"].push_back({pid, "p" + std::to_string(pid), "", true});
    const DoctorReport report = rig.run();
    EXPECT_EQ(check_of(rig, report, "open").fix,
              "close p1 (process 1), p2 (process 2), p3 (process 3), p4 (process 4) and 2 more");
}

TEST(PortDoctor, AFailedOpenGivesTheSystemsReasonAndIgnoresOtherHolders) {
    DoctorRig rig;
    rig.system.held["/dev/ttyUSB0"] = {{77, "bash", "", true}};
    rig.open_error = make_port_error(PortErrorKind::Failed, 5, "/dev/ttyUSB0", "Input/output error");
    const DoctorCheck open = check_of(rig, rig.run(), "open");
    EXPECT_EQ(open.verdict, Verdict::Problem);
    EXPECT_EQ(open.finding,
              "the port does not open: Serial port COM5 (/dev/ttyUSB0) cannot be used: "
              "Input/output error");
    EXPECT_EQ(open.fix, "choose the port the board is plugged into");
}

TEST(PortDoctor, RefusedSettingsPointAtTheBaudRateSetting) {
    DoctorRig rig;
    rig.open_error = make_port_error(PortErrorKind::BadSettings, 5, "/dev/ttyUSB0", "56000,n,8,1");
    const DoctorCheck open = check_of(rig, rig.run(), "open");
    EXPECT_EQ(open.verdict, Verdict::Problem);
    EXPECT_THAT(open.fix, HasSubstr("\"Serial Port Baud Rate\""));
}

TEST(PortDoctor, AUsbAdapterIsNamedWithItsDriver) {
    DoctorRig rig;
    const DoctorCheck kind = check_of(rig, rig.run(), "kind");
    EXPECT_EQ(kind.verdict, Verdict::Ok);
    EXPECT_EQ(kind.finding,
              "USB serial adapter, driver ftdi_sio (FT232R USB UART, 0403:6001); every line change "
              "is a USB transfer");
}

TEST(PortDoctor, AnFtdiAdapterUsedAsASerialPortPointsToTheFastPath) {
    DoctorRig rig;
    rig.system.ttys["ttyUSB0"].usb_serial = "A50285BI";
    rig.system.adapters = {
        {"0403:6001", "FT232R", "A50285BI", "FT232R USB UART", "/dev/bus/usb/001/004", false}};
    DoctorCheck ftdi = check_of(rig, rig.run(), "ftdi");
    EXPECT_EQ(ftdi.verdict, Verdict::Warning);
    EXPECT_THAT(ftdi.finding, HasSubstr("an FTDI FT232R adapter"));
    EXPECT_THAT(
        ftdi.fix,
        HasSubstr("--port ftdi:A50285BI, or set the setting \"Serial Port Device 5\" to ftdi:A50285BI"));
    EXPECT_THAT(ftdi.fix,
                HasSubstr("udev rule 70-quillon-ftdi.rules so that you may open /dev/bus/usb/001/004"));

    rig.system.ftdi_path = false;
    ftdi = check_of(rig, rig.run(), "ftdi");
    EXPECT_THAT(ftdi.finding, HasSubstr("built without that path"));
}

TEST(PortDoctor, AUsbAdapterIsKnownByItsDriverAlone) {
    DoctorRig rig;
    rig.system.ttys["ttyUSB0"] = {true, "", "ch341", false, "", ""};
    EXPECT_THAT(check_of(rig, rig.run(), "kind").finding, HasSubstr("USB serial adapter, driver ch341;"));
}

TEST(PortDoctor, ACdcAcmDeviceMustPassTheControlLines) {
    DoctorRig rig;
    rig.system.ttys["ttyUSB0"] = {true, "usb", "cdc_acm", false, "2341:0043", ""};
    const DoctorCheck kind = check_of(rig, rig.run(), "kind");
    EXPECT_EQ(kind.verdict, Verdict::Ok);
    EXPECT_THAT(kind.finding, HasSubstr("USB CDC ACM device, driver cdc_acm (2341:0043)"));
    EXPECT_THAT(kind.finding, HasSubstr("must pass DTR, RTS and DSR"));
}

TEST(PortDoctor, ABuiltInUartIsNamedWithItsDriver) {
    DoctorRig rig;
    rig.target.number = 1;
    rig.target.device = "/dev/ttyS0";
    rig.system.add_serial("/dev/ttyS0");
    rig.system.ttys["ttyS0"] = {true, "pnp", "serial", false, "", ""};
    const DoctorCheck kind = check_of(rig, rig.run(), "kind");
    EXPECT_EQ(kind.verdict, Verdict::Ok);
    EXPECT_EQ(kind.finding, "built-in UART, driver serial on pnp");
}

TEST(PortDoctor, ABuiltInPortWithoutUartIsAProblem) {
    DoctorRig rig;
    rig.target.number = 3;
    rig.target.device = "/dev/ttyS2";
    rig.system.add_serial("/dev/ttyS2");
    rig.system.ttys["ttyS2"] = {true, "platform", "serial8250", true, "", ""};
    const DoctorCheck kind = check_of(rig, rig.run(), "kind");
    EXPECT_EQ(kind.verdict, Verdict::Problem);
    EXPECT_THAT(kind.finding, HasSubstr("no UART behind it"));
}

TEST(PortDoctor, APseudoTerminalIsNoSerialPort) {
    DoctorRig rig;
    rig.system.ttys.clear();
    const DoctorCheck kind = check_of(rig, rig.run(), "kind");
    EXPECT_EQ(kind.verdict, Verdict::Warning);
    EXPECT_THAT(kind.fix, HasSubstr("no control lines"));
}

TEST(PortDoctor, ASlowPortIsAWarningThatPointsAtTheEstimates) {
    DoctorRig rig;
    rig.change_cost = 3ms;
    const DoctorReport report = rig.run();
    const DoctorCheck lines = check_of(rig, report, "lines");
    EXPECT_EQ(lines.verdict, Verdict::Warning);
    EXPECT_THAT(lines.finding, HasSubstr("a line change takes 3000 us"));
    EXPECT_THAT(lines.fix, HasSubstr("estimates"));
}

TEST(PortDoctor, APortThatFailsWhileMeasuredIsAProblemWithoutCosts) {
    DoctorRig rig;
    rig.configure = [](TimedPort& port) { port.fail_after = 10; };
    const DoctorReport report = rig.run();
    const DoctorCheck lines = check_of(rig, report, "lines");
    EXPECT_EQ(lines.verdict, Verdict::Problem);
    EXPECT_THAT(lines.finding,
                HasSubstr("stopped working when its lines were switched: the adapter was unplugged"));
    EXPECT_FALSE(report.costs.has_value());
    EXPECT_EQ(rig.find(report, "board"), nullptr);
}

TEST(PortDoctor, DataInThatIgnoresDataOutMeansNoBoard) {
    DoctorRig rig;
    rig.configure = [](TimedPort& port) { port.echo = false; };
    const DoctorCheck board = check_of(rig, rig.run(), "board");
    EXPECT_EQ(board.verdict, Verdict::Warning);
    EXPECT_EQ(board.finding,
              "DATA IN stayed low while DATA OUT changed: no programmer board seems to answer");
    EXPECT_THAT(board.fix, HasSubstr("plug the board into this port"));
}

TEST(PortDoctor, DataInStuckHighMeansNoBoardEither) {
    DoctorRig rig;
    rig.configure = [](TimedPort& port) {
        port.echo = false;
        port.dsr_level = true;
    };
    EXPECT_THAT(check_of(rig, rig.run(), "board").finding, HasSubstr("DATA IN stayed high"));
}

TEST(PortDoctor, DataInThatSometimesDiffersIsALooseContact) {
    DoctorRig rig;
    rig.configure = [](TimedPort& port) { port.wrong_every = 4; };
    const DoctorCheck board = check_of(rig, rig.run(), "board");
    EXPECT_EQ(board.verdict, Verdict::Warning);
    EXPECT_EQ(board.finding, "DATA IN followed DATA OUT in only 75 of 100 reads");
    EXPECT_THAT(board.fix, HasSubstr("loose contact"));
}

TEST(PortDoctor, AnOverriddenNumberShowsTheSettingThatReplacesItsDevice) {
    DoctorRig rig;
    const std::string link = "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0";
    rig.system.add_link(link, "/dev/ttyUSB0");
    rig.target.port_devices[4] = link;
    rig.target.device = link;
    const DoctorReport report = rig.run();
    EXPECT_EQ(check_of(rig, report, "port").finding,
              "COM5 is " + link +
                  " (the setting \"Serial Port Device 5\" replaces /dev/ttyUSB0); chosen by --port");
    EXPECT_EQ(check_of(rig, report, "device").finding, link + " exists and leads to /dev/ttyUSB0");
}

TEST(PortDoctor, ADeviceOutsideTheTableGetsANumberToTakeIt) {
    DoctorRig rig;
    rig.system.add_serial("/dev/ttyUSB7");
    rig.target.number = 0;
    rig.target.device = "/dev/ttyUSB7";
    const DoctorCheck port = check_of(rig, rig.run(), "port");
    EXPECT_EQ(port.verdict, Verdict::Warning);
    EXPECT_EQ(port.finding, "/dev/ttyUSB7 is none of the port numbers COM1 to COM16; chosen by --port");
    // COM5 is the plugged-in adapter; COM6 has nothing behind it.
    EXPECT_EQ(port.fix,
              "quillon-cli takes it as --port /dev/ttyUSB7; for the program, set the setting "
              "\"Serial Port Device 6\" to it and choose port 6");
}

TEST(PortDoctor, ANumberWithoutDeviceIsAProblem) {
    DoctorRig rig;
    rig.target.number = 17;
    rig.target.device.clear();
    rig.target.chosen_by = "the setting \"Serial Port Number\"";
    const DoctorReport report = rig.run();
    ASSERT_EQ(report.checks.size(), 1u);
    EXPECT_EQ(report.checks[0].verdict, Verdict::Problem);
    EXPECT_EQ(report.checks[0].finding,
              "COM17 is no port number (1 to 16); chosen by the setting \"Serial Port Number\"");
    EXPECT_EQ(rig.opens, 0);
}

TEST(PortDoctor, WhereDevicesAreNoFilesItOnlyOpensThePort) {
    DoctorRig rig;
    rig.system.describes = false;
    rig.target.port_devices[4] = "COM5";
    rig.target.device = "COM5";
    const DoctorReport report = rig.run();
    std::vector<std::string> names;
    for (const DoctorCheck& check : report.checks)
        names.push_back(check.name);
    EXPECT_THAT(names, ::testing::ElementsAre("port", "open", "lines", "board"));
    EXPECT_EQ(check_of(rig, report, "port").finding, "COM5 is COM5; chosen by --port");
}

// The port the doctor opens, in front of a board the test keeps.
struct ForwardingPort final : ProgrammerPort {
    explicit ForwardingPort(ProgrammerPort& inner) : inner(inner) {}
    void set_dtr(bool asserted) override { inner.set_dtr(asserted); }
    void set_rts(bool asserted) override { inner.set_rts(asserted); }
    bool read_dsr() override { return inner.read_dsr(); }
    void write_byte(std::uint8_t value) override { inner.write_byte(value); }
    bool failed() const override { return inner.failed(); }
    ProgrammerPort& inner;
};

// --port ftdi: each check stops the examination where the user must act, and the adapter is
// opened only once the bus shows it and the user may open it.
TEST(FtdiDoctor, ChecksTheBuildTheBusTheAccessAndThenTheBoard) {
    FakeSystemView system;
    FakeClock clock;
    int opens = 0;
    RecordingPort board;
    board.dsr_source = [&board] { return board.dtr(); };
    const auto open = [&opens, &board] {
        ++opens;
        return PortOpenResult(std::make_unique<ForwardingPort>(board));
    };
    const auto names = [](const DoctorReport& report) {
        std::vector<std::string> found;
        for (const DoctorCheck& check : report.checks)
            found.push_back(check.name + (check.verdict == Verdict::Ok ? "" : "!"));
        return found;
    };
    system.ftdi_path = false;
    EXPECT_THAT(names(examine_ftdi_port("ftdi", "--port", system, open, clock, 4)),
                ::testing::ElementsAre("port", "ftdi!"));
    system.ftdi_path = true;
    EXPECT_THAT(names(examine_ftdi_port("ftdi", "--port", system, open, clock, 4)),
                ::testing::ElementsAre("port", "adapter!"));
    system.adapters = {{"0403:6014", "FT232H", "FT9XK2", "", "/dev/bus/usb/002/003", false}};
    EXPECT_THAT(names(examine_ftdi_port("ftdi:OTHER", "--port", system, open, clock, 4)),
                ::testing::ElementsAre("port", "adapter!"));
    const DoctorReport refused = examine_ftdi_port("ftdi:FT9XK2", "--port", system, open, clock, 4);
    EXPECT_THAT(names(refused), ::testing::ElementsAre("port", "adapter", "access!"));
    EXPECT_THAT(refused.checks.back().fix,
                HasSubstr("sudo cp packaging/70-quillon-ftdi.rules /etc/udev/rules.d/"));
    EXPECT_EQ(opens, 0);

    system.adapters[0].may_open = true;
    const DoctorReport working = examine_ftdi_port("ftdi", "--port", system, open, clock, 4);
    EXPECT_THAT(names(working),
                ::testing::ElementsAre("port", "adapter", "access", "open", "lines", "board"));
    EXPECT_THAT(working.checks[3].finding, HasSubstr("the fast path is used"));
    EXPECT_EQ(opens, 1);
}

TEST(PortDoctor, FindsTheNumberOfADeviceByWhereItLeads) {
    DoctorRig rig;
    rig.system.add_link("/dev/serial/by-id/usb-X", "/dev/ttyUSB0");
    EXPECT_EQ(find_port_number("/dev/ttyUSB0", rig.target.port_devices, rig.system), 5);
    EXPECT_EQ(find_port_number("/dev/serial/by-id/usb-X", rig.target.port_devices, rig.system), 5);
    EXPECT_EQ(find_port_number("/dev/ttyUSB9", rig.target.port_devices, rig.system), 0);
}

}  // namespace
}  // namespace quillon

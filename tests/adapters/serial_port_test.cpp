// The serial backend on pseudo-terminals: they open like serial ports and carry bytes, but have
// no control lines, which the backend must notice.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "adapters/serial_port_provider.h"
#include "base/memory_settings_store.h"
#include "ports/port_manager.h"
#include "ports/serial_device_map.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

// A pseudo-terminal pair; the test holds the far end.
class Pty {
  public:
    Pty() {
        int near_end = -1;
        char name[256] = {};
        if (::openpty(&far_end_, &near_end, name, nullptr, nullptr) != 0) return;
        ::close(near_end);
        device_ = name;
    }
    ~Pty() { hang_up(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& device() const { return device_; }
    void hang_up() {
        if (far_end_ >= 0) ::close(far_end_);
        far_end_ = -1;
    }
    // The bytes that arrive within `timeout_ms`.
    std::string receive(int timeout_ms = 1000) const {
        pollfd ready{far_end_, POLLIN, 0};
        if (::poll(&ready, 1, timeout_ms) <= 0) return {};
        char buffer[64];
        const ssize_t count = ::read(far_end_, buffer, sizeof buffer);
        return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
    }

  private:
    int far_end_ = -1;
    std::string device_;
};

// Every number points into an empty folder except COM5, which is the pseudo-terminal, so that no
// real serial device is ever opened.
struct SerialRig {
    SerialRig() {
        if (pty.device().empty()) return;
        for (int number = 1; number <= 16; ++number)
            settings.put_text(serial_device_setting_name(number),
                              dir.file("missing-" + std::to_string(number)));
        settings.put_text(serial_device_setting_name(5), pty.device());
    }
    TempDir dir;
    Pty pty;
    MemorySettingsStore settings;
    SerialPortProvider provider{settings};
};

#define REQUIRE_PTY(rig) \
    if ((rig).pty.device().empty()) GTEST_SKIP() << "no pseudo-terminal available"

TEST(SerialPort, OpensAndSendsTheSupplyToggleByte) {
    SerialRig rig;
    REQUIRE_PTY(rig);
    EXPECT_EQ(rig.provider.describe(5), rig.pty.device());
    EXPECT_TRUE(rig.provider.probe(5));
    PortOpenResult opened = rig.provider.open(5, "56000,n,8,1");
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    (*opened)->write_byte(1);
    EXPECT_FALSE((*opened)->failed()) << (*opened)->failure_text();
    EXPECT_EQ(rig.pty.receive(), std::string(1, '\x01'));
}

TEST(SerialPort, ControlLinesThatCannotBeSwitchedFailThePortForGood) {
    SerialRig rig;
    REQUIRE_PTY(rig);
    PortOpenResult opened = rig.provider.open(5, "56000,n,8,1");
    ASSERT_TRUE(opened.ok());
    (*opened)->set_dtr(true);
    EXPECT_TRUE((*opened)->failed());
    EXPECT_FALSE((*opened)->failure_text().empty());
    EXPECT_FALSE((*opened)->read_dsr());
    (*opened)->write_byte(1);  // nothing is sent once the port has failed
    EXPECT_EQ(rig.pty.receive(100), "");
}

TEST(SerialPort, AVanishedDeviceIsNoticedAtTheNextOperation) {
    SerialRig rig;
    REQUIRE_PTY(rig);
    PortOpenResult opened = rig.provider.open(5, "56000,n,8,1");
    ASSERT_TRUE(opened.ok());
    rig.pty.hang_up();
    (*opened)->write_byte(1);
    EXPECT_TRUE((*opened)->failed());
    EXPECT_FALSE((*opened)->failure_text().empty());
}

TEST(SerialPort, OpenFailuresAreSortedByKind) {
    SerialRig rig;
    REQUIRE_PTY(rig);
    const PortOpenResult missing = rig.provider.open(3, kProbeSettings);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, PortErrorKind::NoSuchDevice);
    EXPECT_EQ(missing.error().message,
              "Serial port COM3 (" + rig.dir.file("missing-3") + ") does not exist or is not a serial port.");
    EXPECT_FALSE(rig.provider.probe(3));

    rig.settings.put_text(serial_device_setting_name(6), "/dev/null");
    EXPECT_EQ(rig.provider.open(6, kProbeSettings).error().kind, PortErrorKind::NoSuchDevice);
    rig.settings.put_text(serial_device_setting_name(7), "");
    EXPECT_EQ(rig.provider.open(7, kProbeSettings).error().kind, PortErrorKind::NoSuchDevice);

    EXPECT_EQ(rig.provider.open(5, "9600,n,9,1").error().kind, PortErrorKind::BadSettings);

    PortOpenResult first = rig.provider.open(5, kProbeSettings);
    ASSERT_TRUE(first.ok());
    const PortOpenResult second = rig.provider.open(5, kProbeSettings);
    EXPECT_EQ(second.error().kind, PortErrorKind::Busy);
    EXPECT_NE(second.error().message.find("in use"), std::string::npos);
}

TEST(SerialPort, MissingPermissionIsToldApartFromABusyPort) {
    EXPECT_EQ(classify_open_error(QSerialPort::PermissionError, true), PortErrorKind::PermissionDenied);
    EXPECT_EQ(classify_open_error(QSerialPort::PermissionError, false), PortErrorKind::Busy);
    EXPECT_EQ(classify_open_error(QSerialPort::DeviceNotFoundError, false), PortErrorKind::NoSuchDevice);
    EXPECT_EQ(classify_open_error(QSerialPort::ResourceError, false), PortErrorKind::Failed);

    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
    SerialRig rig;
    const std::string device = rig.dir.write("locked-tty", "");
    std::filesystem::permissions(device, std::filesystem::perms::none);
    rig.settings.put_text(serial_device_setting_name(8), device);
    const PortOpenResult denied = rig.provider.open(8, kProbeSettings);
    EXPECT_EQ(denied.error().kind, PortErrorKind::PermissionDenied);
    EXPECT_NE(denied.error().message.find("permission denied"), std::string::npos);
}

TEST(SerialPort, TheManagerListsThePortAndRefusesItForLackOfControlLines) {
    SerialRig rig;
    REQUIRE_PTY(rig);
    AppState state;
    RecordingHost host;
    PortManager manager(state, rig.settings, host, rig.provider);
    manager.scan_ports();
    EXPECT_EQ(state.port_list, "- Serial port COM5 available (" + rig.pty.device() + ")");
    EXPECT_EQ(state.default_port, 5);

    const Result<void, PortError> error = manager.open_programmer_port();
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().kind, PortErrorKind::Failed);
    EXPECT_NE(error.error().message.find("control lines"), std::string::npos) << error.error().message;
    EXPECT_EQ(host.status(), "Serial port COM5 error!");
    EXPECT_FALSE(state.port_open);
    EXPECT_TRUE(rig.provider.probe(5));  // and it was closed again
}

}  // namespace
}  // namespace quillon

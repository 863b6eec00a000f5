// Line settings texts, the port number to device table and the texts of port errors.
#include <gtest/gtest.h>

#include "base/memory_settings_store.h"
#include "ports/line_settings.h"
#include "ports/port_errors.h"
#include "ports/serial_device_map.h"

namespace quillon {
namespace {

TEST(LineSettings, ReadsBaudParityDataAndStopBits) {
    EXPECT_EQ(parse_line_settings("56000,n,8,1"), (LineSettings{56000, 'n', 8, LineSettings::StopBits::One}));
    EXPECT_EQ(parse_line_settings("9600,E,7,2"), (LineSettings{9600, 'e', 7, LineSettings::StopBits::Two}));
    EXPECT_EQ(parse_line_settings(" 300 , o , 5 , 1.5 "),
              (LineSettings{300, 'o', 5, LineSettings::StopBits::OneAndHalf}));
}

TEST(LineSettings, RefusesTextsThatAreNotSettings) {
    for (const char* text : {"", "56000", "fast,n,8,1", "0,n,8,1", "-9600,n,8,1", "99999999999,n,8,1",
                             "9600,x,8,1", "9600,no,8,1", "9600,n,9,1", "9600,n,4,1", "9600,n,8,3",
                             "9600,n,8,1,1", "9600,n,8,", "56000 baud,n,8,1", "+9600,n,8,1"})
        EXPECT_FALSE(parse_line_settings(text).has_value()) << text;
}

TEST(SerialDeviceMap, FixedTableInBlocksOfFour) {
    EXPECT_EQ(default_serial_device(1), "/dev/ttyS0");
    EXPECT_EQ(default_serial_device(4), "/dev/ttyS3");
    EXPECT_EQ(default_serial_device(5), "/dev/ttyUSB0");
    EXPECT_EQ(default_serial_device(8), "/dev/ttyUSB3");
    EXPECT_EQ(default_serial_device(9), "/dev/ttyACM0");
    EXPECT_EQ(default_serial_device(13), "/dev/ttyAMA0");
    EXPECT_EQ(default_serial_device(16), "/dev/ttyAMA3");
    EXPECT_EQ(default_serial_device(0), "");
    EXPECT_EQ(default_serial_device(17), "");
}

TEST(SerialDeviceMap, ASettingOverridesANumbersDevice) {
    MemorySettingsStore settings;
    EXPECT_EQ(serial_device_for(5, settings), "/dev/ttyUSB0");
    EXPECT_EQ(settings.stored("Serial Port Device 5").text, "/dev/ttyUSB0");  // there to be edited

    settings.put_text("Serial Port Device 5", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(serial_device_for(5, settings), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(serial_device_for(17, settings), "");
    EXPECT_FALSE(settings.contains("Serial Port Device 17"));
}

TEST(PortErrors, NameThePortAndSayWhatToDo) {
    EXPECT_EQ(port_display_name(5, "/dev/ttyUSB0"), "COM5 (/dev/ttyUSB0)");
    EXPECT_EQ(port_display_name(5, "COM5"), "COM5");
    EXPECT_EQ(port_display_name(5, ""), "COM5");
    EXPECT_EQ(port_display_name(0, "/dev/pts/3"), "/dev/pts/3");  // a device chosen by its path

    const PortError denied = make_port_error(PortErrorKind::PermissionDenied, 5, "/dev/ttyUSB0", "dialout");
    EXPECT_EQ(denied.kind, PortErrorKind::PermissionDenied);
    EXPECT_EQ(denied.message,
              "Serial port COM5 (/dev/ttyUSB0) cannot be opened: permission denied.\r\n\r\n"
              "Your user must be a member of the group \"dialout\", which owns the device. Add it with the "
              "command\r\n\r\nsudo usermod -aG dialout $USER\r\n\r\nthen log out and log in again.");
    // Joining root's group is no advice to give.
    const PortError root_only = make_port_error(PortErrorKind::PermissionDenied, 5, "/dev/ttyUSB0", "root");
    EXPECT_EQ(root_only.message.find("usermod"), std::string::npos);
    EXPECT_NE(root_only.message.find("administrator"), std::string::npos);

    EXPECT_EQ(make_port_error(PortErrorKind::BadSettings, 2, "COM2", "fast,n,8,1").message,
              "Serial port COM2 does not accept the settings \"fast,n,8,1\".");
    EXPECT_EQ(make_port_error(PortErrorKind::Busy, 2, "").message,
              "Serial port COM2 is in use by another program.");
}

}  // namespace
}  // namespace quillon

// How the FTDI port finds its adapter: the bus as sysfs lists it, and what the user is told when
// no adapter can be opened.
#include <gtest/gtest.h>

#include <filesystem>

#include "adapters/ftdi_adapters.h"
#include "adapters/ftdi_port_opener.h"
#include "support/fake_bitbang_adapter.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

// Which adapter a port name opens, and what the user is told when none can be: libftdi is asked
// only for an adapter the bus lists and the user may open.
TEST(FtdiPortOpener, OpensOnlyAListedAdapterTheUserMayOpen) {
    std::vector<UsbAdapterFacts> bus;
    int opened = 0;
    AdapterLog log;
    FtdiAccess access;
    access.built_in = true;
    access.list = [&bus] { return bus; };
    access.open = [&opened, &log](const UsbAdapterFacts&) {
        ++opened;
        return FtdiOpenResult(std::make_unique<FakeAdapter>(log));
    };
    const auto message = [&access](std::string_view name) {
        const FtdiPortOpened result = open_ftdi_port(name, 56000, access);
        EXPECT_FALSE(result.result.ok()) << name;
        return result.result.ok() ? PortError{} : result.result.error();
    };

    PortError error = message("ftdi");
    EXPECT_EQ(error.kind, PortErrorKind::NoSuchDevice);
    EXPECT_EQ(
        error.message.rfind("No FTDI USB adapter is connected (USB IDs 0403:6001, 0403:6015, 0403:6014, "
                            "0403:6010)",
                            0),
        0U)
        << error.message;

    bus = {{"0403:6001", "FT232R", "A50285BI", "FT232R USB UART", "/dev/bus/usb/001/004", false},
           {"0403:6014", "FT232H", "FT9XK2", "", "/dev/bus/usb/001/007", true}};
    error = message("ftdi:NOSUCH");
    EXPECT_EQ(error.kind, PortErrorKind::NoSuchDevice);
    EXPECT_NE(error.message.find("FTDI adapter A50285BI (FT232R): ftdi:A50285BI"), std::string::npos)
        << error.message;
    error = message("ftdi");  // the first one, which the user may not open
    EXPECT_EQ(error.kind, PortErrorKind::PermissionDenied);
    EXPECT_NE(error.message.find("udev rule"), std::string::npos) << error.message;
    EXPECT_EQ(opened, 0);

    const FtdiPortOpened second = open_ftdi_port("ftdi:FT9XK2", 56000, access);
    ASSERT_TRUE(second.result.ok()) << second.result.error().message;
    EXPECT_EQ(second.name, "FTDI adapter FT9XK2");
    EXPECT_EQ(opened, 1);

    access.built_in = false;
    EXPECT_NE(message("ftdi").message.find("not built into this program"), std::string::npos);
    EXPECT_EQ(opened, 1);
}

TEST(FtdiAdapters, ListsTheBitBangChipsOfTheBusInOrder) {
    TempDir sysfs;
    const auto device = [&sysfs](const std::string& name, const std::string& vendor,
                                 const std::string& product, const std::string& serial) {
        std::filesystem::create_directories(sysfs.file(name));
        sysfs.write(name + "/idVendor", vendor + "\n");
        sysfs.write(name + "/idProduct", product + "\n");
        if (!serial.empty()) sysfs.write(name + "/serial", serial + "\n");
        sysfs.write(name + "/busnum", "3\n");
        sysfs.write(name + "/devnum", name == "1-2" ? "12\n" : "5\n");
    };
    device("1-2", "0403", "6015", "DK0AB1");
    device("1-1", "0403", "6001", "");
    device("1-3", "10c4", "ea60", "0001");  // a CP2102: no bit-bang port
    std::filesystem::create_directories(sysfs.file("1-1:1.0"));
    const std::vector<UsbAdapterFacts> found = list_ftdi_adapters(sysfs.path(), sysfs.file("nodes"));
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].chip, "FT232R");
    EXPECT_EQ(found[0].serial, "");
    EXPECT_EQ(found[0].device_node, sysfs.file("nodes") + "/003/005");
    EXPECT_FALSE(found[0].may_open) << "no such node";
    EXPECT_EQ(found[1].usb_id, "0403:6015");
    EXPECT_EQ(found[1].serial, "DK0AB1");
    EXPECT_EQ(ftdi_adapter_lines(found),
              (std::vector<std::string>{"FTDI adapter 0403:6001 (FT232R): ftdi",
                                        "FTDI adapter DK0AB1 (FT-X): ftdi:DK0AB1"}));
}

}  // namespace
}  // namespace quillon

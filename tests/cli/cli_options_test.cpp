#include <gtest/gtest.h>

#include "base/memory_settings_store.h"
#include "cli/command_line_settings.h"
#include "cli/port_choice.h"

namespace quillon {
namespace {

PortChoice number(std::int32_t n) {
    return {PortChoice::Kind::Number, n, {}, {}};
}

TEST(PortChoice, NumbersFollowThePortCommandsRules) {
    EXPECT_EQ(parse_port_choice("5"), number(5));
    EXPECT_EQ(parse_port_choice("COM5"), number(5));
    EXPECT_EQ(parse_port_choice("com16"), number(16));
    EXPECT_EQ(parse_port_choice("2.5"), number(2));
    EXPECT_EQ(parse_port_choice("3.5"), number(4));
    for (const char* wrong : {"0", "17", "-1", "COM0", "com", ""})
        EXPECT_FALSE(parse_port_choice(wrong).has_value()) << wrong;
}

TEST(PortChoice, AnythingElseIsADeviceOrTheSimulator) {
    EXPECT_EQ(parse_port_choice("/dev/ttyUSB0"),
              (PortChoice{PortChoice::Kind::Device, 0, "/dev/ttyUSB0", {}}));
    EXPECT_EQ(parse_port_choice("COM5x"), (PortChoice{PortChoice::Kind::Device, 0, "COM5x", {}}));
    EXPECT_EQ(parse_port_choice("sim"), (PortChoice{PortChoice::Kind::Simulator, 0, {}, {}}));
    EXPECT_EQ(parse_port_choice("sim:chips/a.hex"),
              (PortChoice{PortChoice::Kind::Simulator, 0, {}, "chips/a.hex"}));
    EXPECT_FALSE(parse_port_choice("sim:").has_value());
    EXPECT_EQ(parse_port_choice("ftdi"), (PortChoice{PortChoice::Kind::Ftdi, 0, "ftdi", {}}));
    EXPECT_EQ(parse_port_choice("ftdi:A50285BI"),
              (PortChoice{PortChoice::Kind::Ftdi, 0, "ftdi:A50285BI", {}}));
    EXPECT_EQ(parse_port_choice("ftdisim"), (PortChoice{PortChoice::Kind::FtdiSimulator, 0, {}, {}}));
    EXPECT_EQ(parse_port_choice("ftdisim:c.hex"),
              (PortChoice{PortChoice::Kind::FtdiSimulator, 0, {}, "c.hex"}));
    EXPECT_EQ(parse_port_choice("ftdisimx"), (PortChoice{PortChoice::Kind::Device, 0, "ftdisimx", {}}));
    for (const char* empty : {"ftdi:", "ftdisim:"})
        EXPECT_FALSE(parse_port_choice(empty).has_value()) << empty;
}

TEST(CommandLineSettings, AGivenNumberIsReadButNeverStored) {
    MemorySettingsStore user;
    user.put_number("Serial Port Number", 3);
    CommandLineSettings settings(user);
    settings.give_number("Serial Port Number", 7);
    EXPECT_EQ(settings.get_number_setting("Serial Port Number", 2), 7);
    settings.set_number_setting("Serial Port Number", 8);
    EXPECT_EQ(settings.get_number_setting("Serial Port Number", 2), 8);
    EXPECT_EQ(user.stored("Serial Port Number").number, 3);

    // Everything else is the user's store with its rules.
    EXPECT_EQ(settings.get_text_setting("Serial Port Baud Rate", "56000"), "56000");
    EXPECT_EQ(user.stored("Serial Port Baud Rate").text, "56000");
    settings.set_number_setting("Mouse Wheel Enabled", 0);
    EXPECT_EQ(user.stored("Mouse Wheel Enabled").number, 0);
}

}  // namespace
}  // namespace quillon

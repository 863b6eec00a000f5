#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/settings_store.h"

namespace quillon {

// Every setting the program keeps: its name, its kind and the default a read of a missing value
// stores. The names are what users find and edit in the store, so they never change. Readers and
// writers go through the helpers below, which take the kind from the setting: a number cannot be
// written to a text setting by mistake, and a fixed default cannot differ between two readers.

// A setting with a fixed default.
struct TextSetting {
    std::string_view name;
    std::string_view default_value;
};
struct NumberSetting {
    std::string_view name;
    std::int32_t default_value;
};

// A setting whose default is known only when it is read; the reader names it.
struct TextSettingName {
    std::string_view name;
};
struct NumberSettingName {
    std::string_view name;
};

// Text: the folder of the HEX file last opened or saved, with its trailing separator; the file
// dialogs start there. Default: the program folder.
inline constexpr TextSettingName kLastPathSetting{"Last Path"};

// Text: the selected model's number in the device file, 1-based, in decimal.
inline constexpr TextSetting kModelSetting{"Microcontroller Model", "1"};

// Number: the programmer's port, 1 to 16. Default: the last port that opened in the start-up scan,
// or 2 when none did.
inline constexpr NumberSettingName kPortNumberSetting{"Serial Port Number"};

// Text: the baud rate the programmer port opens with, in front of the rest of the line format.
// Only ever written with its default; users edit it outside the program.
inline constexpr TextSetting kBaudRateSetting{"Serial Port Baud Rate", "56000"};

// Text: the colour theme's name.
inline constexpr TextSetting kColorThemeSetting{"Color Theme", "Original Lite"};

// Number: 0 turns the mouse wheel off, any other value leaves it on. Only ever written with its
// default.
inline constexpr NumberSetting kWheelSetting{"Mouse Wheel Enabled", 1};

// Number: 1 while the simulated board is the programmer, 0 for the serial port.
inline constexpr NumberSetting kSimulatedProgrammerSetting{"Simulated Programmer", 0};

// Number: 1 while Program All leaves the chip's data EEPROM as it is (and Verify and Blank Check
// leave it out), 0 for programming and checking every memory.
inline constexpr NumberSetting kKeepEepromSetting{"Keep Data EEPROM", 0};

// Text, one per port number 1 to 16 ("Serial Port Device 5"): the device a number opens on systems
// that name serial devices by path. Default: the device of the fixed table of port numbers.
std::string serial_device_setting_name(int number);

inline std::string read_setting(SettingsStore& settings, const TextSetting& setting) {
    return settings.get_text_setting(setting.name, setting.default_value);
}
inline std::int32_t read_setting(SettingsStore& settings, const NumberSetting& setting) {
    return settings.get_number_setting(setting.name, setting.default_value);
}
inline std::string read_setting(SettingsStore& settings, const TextSettingName& setting,
                                std::string_view default_value) {
    return settings.get_text_setting(setting.name, default_value);
}
inline std::int32_t read_setting(SettingsStore& settings, const NumberSettingName& setting,
                                 std::int32_t default_value) {
    return settings.get_number_setting(setting.name, default_value);
}

inline void write_setting(SettingsStore& settings, const TextSetting& setting, std::string_view value) {
    settings.set_text_setting(setting.name, value);
}
inline void write_setting(SettingsStore& settings, const TextSettingName& setting, std::string_view value) {
    settings.set_text_setting(setting.name, value);
}
inline void write_setting(SettingsStore& settings, const NumberSetting& setting, std::int32_t value) {
    settings.set_number_setting(setting.name, value);
}
inline void write_setting(SettingsStore& settings, const NumberSettingName& setting, std::int32_t value) {
    settings.set_number_setting(setting.name, value);
}

}  // namespace quillon

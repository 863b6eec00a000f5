#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/memory_image.h"

namespace quillon {

// The configuration settings of a model by name, one "setting:" line each, which a reader without
// them passes over as a comment:
//
//   setting: 1H OSC 07 LP=00 XT=01 HS=02 RC=03 EC=04 ECIO=05 HSPLL=06 RCIO=07
//
// the configuration byte (1L..7H), the setting's name, the bits it takes (two hexadecimal digits)
// and each value's name with the bits it leaves under them.

struct SettingValue {
    std::string name;
    int bits = 0;
    bool operator==(const SettingValue&) const = default;
};

struct ConfigSetting {
    int byte = 0;  // configuration byte 1 (CONFIG1L) to 14 (CONFIG7H)
    std::string name;
    int mask = 0;
    std::vector<SettingValue> values;
    bool operator==(const ConfigSetting&) const = default;
};

// "1L" .. "7H" for byte 1..14; the number itself for any other.
std::string config_byte_name(int byte);

// The setting a line's value gives, or nothing when it cannot be read (setting_line_error says why).
std::optional<ConfigSetting> parse_setting(std::string_view text);

// Why a "setting:" value cannot be read, one sentence without a final stop; empty when it can.
std::string setting_line_error(std::string_view text);

// What is wrong with a model's settings as a whole, given the bits each configuration byte
// implements: a bit named by two settings of its byte, a setting outside the implemented bits, a
// value outside its setting's bits, a value or a setting named twice. One sentence each.
std::vector<std::string> setting_problems(const std::vector<ConfigSetting>& settings,
                                          const ConfigValues& implemented);

}  // namespace quillon

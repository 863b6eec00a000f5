#include "model/config_settings.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "base/hex_text.h"

namespace quillon {

namespace {

constexpr std::array<std::string_view, kConfigByteCount> kByteNames = {
    "1L", "1H", "2L", "2H", "3L", "3H", "4L", "4H", "5L", "5H", "6L", "6H", "7L", "7H"};

std::vector<std::string_view> words(std::string_view text) {
    return split_words(text, " \t");
}

bool is_name(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

int byte_number(std::string_view text) {
    const std::string upper = ascii_upper(text);
    const auto found = std::find(kByteNames.begin(), kByteNames.end(), upper);
    return found == kByteNames.end() ? 0 : static_cast<int>(found - kByteNames.begin()) + 1;
}

// Reads the line into `setting`, or says why it cannot.
std::string read_setting(std::string_view text, ConfigSetting& setting) {
    const std::vector<std::string_view> parts = words(text);
    if (parts.size() < 4)
        return "a setting needs its byte, name, bits and at least one value, as in \"1H OSC 07 HS=02\"";
    setting.byte = byte_number(parts[0]);
    if (setting.byte == 0) return "\"" + std::string(parts[0]) + "\" is no configuration byte 1L to 7H";
    if (!is_name(parts[1])) return "\"" + std::string(parts[1]) + "\" is no setting name";
    setting.name = std::string(parts[1]);
    setting.mask = parse_hex2(ascii_upper(parts[2]));
    if (setting.mask <= 0)
        return "the bits of " + setting.name + " are not two hexadecimal digits other than 00";
    for (std::size_t i = 3; i < parts.size(); ++i) {
        const std::string_view pair = parts[i];
        const std::size_t equals = pair.find('=');
        const std::string_view name = pair.substr(0, std::min(equals, pair.size()));
        const int bits =
            equals == std::string_view::npos ? -1 : parse_hex2(ascii_upper(pair.substr(equals + 1)));
        if (!is_name(name) || bits < 0)
            return "\"" + std::string(pair) + "\" of " + setting.name +
                   " is not NAME=bits in two hexadecimal digits";
        setting.values.push_back({std::string(name), bits});
    }
    return {};
}

void check_values(const ConfigSetting& setting, std::vector<std::string>& problems) {
    for (std::size_t i = 0; i < setting.values.size(); ++i) {
        const SettingValue& value = setting.values[i];
        if ((value.bits & ~setting.mask) != 0)
            problems.push_back(setting.name + " = " + value.name + " sets bits outside " + setting.name +
                               "'s " + hex2(setting.mask));
        for (std::size_t j = 0; j < i; ++j) {
            if (ascii_upper(setting.values[j].name) == ascii_upper(value.name))
                problems.push_back(setting.name + " names the value " + value.name + " twice");
        }
    }
}

}  // namespace

std::string config_byte_name(int byte) {
    if (byte < 1 || byte > kConfigByteCount) return std::to_string(byte);
    return std::string(kByteNames[static_cast<std::size_t>(byte - 1)]);
}

std::optional<ConfigSetting> parse_setting(std::string_view text) {
    ConfigSetting setting;
    if (!read_setting(text, setting).empty()) return std::nullopt;
    return setting;
}

std::string setting_line_error(std::string_view text) {
    ConfigSetting setting;
    const std::string error = read_setting(text, setting);
    return error.empty() ? error : "setting: " + error;
}

std::vector<std::string> setting_problems(const std::vector<ConfigSetting>& settings,
                                          const ConfigValues& implemented) {
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const ConfigSetting& setting = settings[i];
        const std::string where = setting.name + " (" + config_byte_name(setting.byte) + ")";
        if (const int outside = setting.mask & ~implemented(setting.byte); outside != 0)
            problems.push_back(where + " takes bits " + hex2(outside) +
                               " that configbits: says the byte does not implement");
        for (std::size_t j = 0; j < i; ++j) {
            const ConfigSetting& other = settings[j];
            if (ascii_upper(other.name) == ascii_upper(setting.name))
                problems.push_back("the setting " + setting.name + " is named twice");
            else if (other.byte == setting.byte && (other.mask & setting.mask) != 0)
                problems.push_back(where + " and " + other.name + " share bits " +
                                   hex2(other.mask & setting.mask));
        }
        check_values(setting, problems);
    }
    return problems;
}

}  // namespace quillon

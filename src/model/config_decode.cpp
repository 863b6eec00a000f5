#include "model/config_decode.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "base/hex_text.h"
#include "model/protection.h"

namespace quillon {

namespace {

// The kinds of protection, each known by the stem of its settings' names: CP0.., CPB and CPD;
// WRT0.., WRTB, WRTC and WRTD; EBTR0.. and EBTRB. A protection setting protects when it is ON.
struct ProtectionKind {
    std::string_view stem;
    std::string_view letters;  // the letters that may follow the stem besides block numbers
    std::string_view sentence;
};

constexpr std::array<ProtectionKind, 3> kProtectionKinds = {{
    {"CP", "BD",
     "the chip reads 00 there, so it can no longer be read back or verified, and only Erase All "
     "removes the protection"},
    {"WRT", "BCD",
     "the areas they cover can no longer be written, neither by the chip's own program nor by this "
     "programmer, "
     "until Erase All"},
    {"EBTR", "B", "code in other blocks reads those blocks as 00, so a bootloader cannot read them"},
}};
constexpr std::array<std::string_view, 3> kProtectionNames = {"Code protection", "Write protection",
                                                              "Table-read protection"};

bool named_by(const ProtectionKind& kind, const std::string& name) {
    if (!name.starts_with(kind.stem) || name.size() == kind.stem.size()) return false;
    const std::string_view rest = std::string_view(name).substr(kind.stem.size());
    if (rest.size() == 1 && kind.letters.find(rest[0]) != std::string_view::npos) return true;
    return std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool has_value(const DecodedSetting& decoded, std::string_view name) {
    return decoded.value != nullptr && ascii_upper(decoded.value->name) == name;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::vector<DecodedSetting> decode_config(const SiliconTraits& silicon, const ConfigValues& config,
                                          int byte) {
    std::vector<DecodedSetting> result;
    for (const ConfigSetting& setting : silicon.settings) {
        if (byte != 0 && setting.byte != byte) continue;
        if (setting.byte < 1 || setting.byte > kConfigByteCount || config(setting.byte) < 0) continue;
        const int mask = setting.mask & silicon.bits(setting.byte);
        if (mask == 0) continue;
        DecodedSetting decoded{&setting, config(setting.byte) & mask, nullptr};
        const auto found =
            std::find_if(setting.values.begin(), setting.values.end(),
                         [&](const SettingValue& value) { return (value.bits & mask) == decoded.bits; });
        if (found != setting.values.end()) decoded.value = &*found;
        result.push_back(decoded);
    }
    return result;
}

std::string decoded_text(const DecodedSetting& decoded) {
    const std::string& name = decoded.setting->name;
    if (decoded.value != nullptr) return name + " = " + decoded.value->name;
    return name + " = " + hex2h(decoded.bits) + " (no value of that name)";
}

ConfigWarnings config_warnings(const SiliconTraits& silicon, const ConfigValues& config) {
    ConfigWarnings warnings;
    std::array<std::vector<std::string>, kProtectionKinds.size()> protecting;
    for (const DecodedSetting& decoded : decode_config(silicon, config)) {
        const std::string name = ascii_upper(decoded.setting->name);
        for (std::size_t i = 0; i < kProtectionKinds.size(); ++i) {
            if (named_by(kProtectionKinds[i], name) && has_value(decoded, "ON"))
                protecting[i].push_back(decoded.setting->name);
        }
        if (name == "LVP" && has_value(decoded, "ON")) {
            warnings.others.push_back(
                "LVP = ON: low-voltage programming is on, so the PGM pin serves programming instead of I/O "
                "and must be held low in the circuit; this board programs with high voltage and does not "
                "need it");
        }
        if (name == "MCLRE" && has_value(decoded, "OFF"))
            warnings.others.push_back(
                "MCLRE = OFF: the MCLR pin is a plain input and no longer resets the chip");
    }
    for (std::size_t i = 0; i < kProtectionKinds.size(); ++i) {
        if (protecting[i].empty()) continue;
        warnings.protection.push_back(std::string(kProtectionNames[i]) + " is on (" + joined(protecting[i]) +
                                      "): " + std::string(kProtectionKinds[i].sentence));
    }
    return warnings;
}

std::string protection_question(const SiliconTraits& silicon, const ConfigValues& config) {
    const std::vector<std::string> named = config_warnings(silicon, config).protection;
    if (named.empty() && !sets_protection(silicon, config)) return {};
    std::string text = "This image turns on protection.\r\n";
    if (named.empty()) text += "It clears protection bits of CONFIG5L to CONFIG7H.\r\n";
    for (const std::string& warning : named)
        text += warning + ".\r\n";
    return text + "\r\nProgram the chip with this protection?";
}

}  // namespace quillon

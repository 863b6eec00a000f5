#pragma once

#include <string>
#include <vector>

#include "base/memory_image.h"
#include "model/silicon_lines.h"

namespace quillon {

// One of a model's settings as a set of configuration bytes has it. Only the bits the model
// implements count: the others read 0 on the chip whatever an image holds for them.
struct DecodedSetting {
    const ConfigSetting* setting = nullptr;
    int bits = 0;                         // the byte's bits under the setting's implemented bits
    const SettingValue* value = nullptr;  // null when no value of the setting has these bits
};

// The model's settings in `config`, in the model's order; `byte` 1..14 keeps those of that byte
// alone. Settings of a byte that `config` has not got (-1), or that take no implemented bit, are
// left out.
std::vector<DecodedSetting> decode_config(const SiliconTraits& silicon, const ConfigValues& config,
                                          int byte = 0);

// "FOSC = HS"; "FOSC = 0Dh (no value of that name)" for bits no value of the setting has.
std::string decoded_text(const DecodedSetting& decoded);

// What may lock the user out of the chip or surprise them, as `config` sets it: code, write and
// table-read protection; low-voltage programming on, which this high-voltage board does not need;
// the MCLR pin made an input. One sentence each.
struct ConfigWarnings {
    std::vector<std::string> protection;  // code, write and table-read protection
    std::vector<std::string> others;
    bool empty() const { return protection.empty() && others.empty(); }
};
ConfigWarnings config_warnings(const SiliconTraits& silicon, const ConfigValues& config);

// The question asked before Program All writes protection, or empty text when `config` writes
// none. Models without named settings get the question when a protection bit is 0.
std::string protection_question(const SiliconTraits& silicon, const ConfigValues& config);

}  // namespace quillon

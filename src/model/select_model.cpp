#include "model/select_model.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/hex_text.h"
#include "base/numbers.h"
#include "model/silicon_lines.h"

namespace quillon {

namespace {

// Sizes outside the address map would allocate absurd buffers or overlap other regions.
std::int32_t memory_size(const std::string& text, std::int32_t maximum) {
    return std::clamp(leading_int32(text), 0, maximum);
}

}  // namespace

AlgorithmScript split_script(const std::string& text) {
    std::string rest = ascii_lower(text);
    if (rest.empty() || rest.back() != ',') rest.push_back(',');
    AlgorithmScript words;
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t comma = rest.find(',', start);
        words.push_back(rest.substr(start, comma - start));
        start = comma + 1;
    }
    return words;
}

ConfigValues parse_configerased(const std::string& text) {
    const std::string upper = ascii_upper(text);
    ConfigValues values;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        const std::size_t position = static_cast<std::size_t>(3 * k - 3);
        values(k) = position < upper.size() ? parse_hex2(std::string_view(upper).substr(position, 2)) : -1;
    }
    return values;
}

void select_model(AppState& state, int model_number) {
    const DeviceModel& model = state.catalog.models.at(static_cast<std::size_t>(model_number));
    state.model_name = model.name;
    state.flash_size = memory_size(model.flash, kMaxFlashSize);
    state.eeprom_size = memory_size(model.eeprom, kMaxEepromSize);
    state.erased_config = parse_configerased(model.configerased);

    const std::string sequence = ascii_lower(model.voltageseq);
    if (sequence == "vddvpp") state.voltage_sequence = 1;
    if (sequence == "vppvdd") state.voltage_sequence = 2;

    // The code pulse, where the model gives one, is the programming time the user may change;
    // "progtime:" stays for readers that know one pulse for every cell.
    state.prog_time_ms = parse_pulse_ms(model.codepulse).value_or(leading_int32(model.progtime));
    state.page_size = leading_int32(model.pagesize);

    state.erase_script = split_script(model.script_text(Operation::Erase));
    state.program_script = split_script(model.script_text(Operation::Program));
    state.read_script = split_script(model.script_text(Operation::Read));
    state.blank_check_script = split_script(model.script_text(Operation::BlankCheck));
    state.verify_script = split_script(model.script_text(Operation::Verify));
    state.config_script = model.config_script && !model.config_script->empty()
                              ? split_script(*model.config_script)
                              : AlgorithmScript{};
    state.keep_eeprom_script = model.keep_eeprom_script && !model.keep_eeprom_script->empty()
                                   ? split_script(*model.keep_eeprom_script)
                                   : AlgorithmScript{};

    SiliconTraits& silicon = state.silicon;
    silicon = SiliconTraits{};
    silicon.config_bits = parse_config_bits(model.configbits);
    silicon.config_pulse_ms = parse_pulse_ms(model.configpulse).value_or(0);
    silicon.discharge_us = parse_discharge_us(model.discharge).value_or(-1);
    silicon.protection.boot = parse_address_range(model.bootblock);
    silicon.protection.blocks = parse_address_ranges(model.codeblocks).value_or(std::vector<AddressRange>{});
    silicon.device_id = parse_device_id(model.deviceid);
    for (const std::string& line : model.settings)
        if (std::optional<ConfigSetting> setting = parse_setting(line))
            silicon.settings.push_back(std::move(*setting));
}

}  // namespace quillon

#include "tools/library/model_check.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/numbers.h"
#include "engine/script/script_program.h"
#include "model/chip_identity.h"
#include "model/select_model.h"

namespace quillon {

namespace {

// The model key that names the operation's slot: "blank check" gives "blankcheckalg:".
std::string script_key(Operation operation) {
    std::string key;
    for (const char c : std::string_view(operation_name(operation)))
        if (c != ' ') key.push_back(c);
    return key + "alg:";
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string without_final_stop(std::string text) {
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

void check_sizes(const DeviceModel& model, std::vector<ModelFault>& faults) {
    const std::int32_t flash = leading_int32(model.flash, -1);
    if (flash <= 0 || flash > kMaxFlashSize) {
        faults.push_back({{},
                          -1,
                          "flash: " + quoted(model.flash) + " is no FLASH size from 1 to " +
                              std::to_string(kMaxFlashSize) + " bytes"});
    }
    const std::int32_t eeprom = leading_int32(model.eeprom, -1);
    if (eeprom < 0 || eeprom > kMaxEepromSize) {
        faults.push_back({{},
                          -1,
                          "eeprom: " + quoted(model.eeprom) + " is no EEPROM size from 0 to " +
                              std::to_string(kMaxEepromSize) + " bytes"});
    }
}

void check_values(const AppState& state, const DeviceModel& model, std::vector<ModelFault>& faults) {
    std::string unreadable;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        if (state.erased_config(k) >= 0) continue;
        std::string_view caption = config_caption(k);
        caption.remove_suffix(1);  // the colon
        unreadable += (unreadable.empty() ? "" : ", ") + std::string(caption);
    }
    if (!unreadable.empty()) {
        faults.push_back({{},
                          -1,
                          "configerased: " + quoted(model.configerased) +
                              " is not 14 hexadecimal pairs (unreadable: " + unreadable + ")"});
    }
    const std::string sequence = ascii_lower(model.voltageseq);
    if (sequence != "vddvpp" && sequence != "vppvdd") {
        faults.push_back(
            {{}, -1, "voltageseq: " + quoted(model.voltageseq) + " is neither vddvpp nor vppvdd"});
    }
    if (state.prog_time_ms < kMinModelProgTimeMs || state.prog_time_ms > kMaxModelProgTimeMs) {
        faults.push_back({{},
                          -1,
                          "progtime: " + std::to_string(state.prog_time_ms) + " ms is outside " +
                              std::to_string(kMinModelProgTimeMs) + " to " +
                              std::to_string(kMaxModelProgTimeMs) + " ms"});
    }
}

// Every "begin" powers the chip up and only an "end" powers it down again, so in a straight read
// of the script each "end" needs an open "begin" and none may stay open.
void check_power_pairs(const ScriptProgram& program, const AlgorithmScript& words,
                       std::vector<std::string>& problems) {
    std::vector<std::size_t> open;
    bool any_begin = false;
    for (std::size_t i = 0; i < program.instructions.size(); ++i) {
        const Op op = program.instructions[i].op;
        if (op == Op::Begin) {
            open.push_back(i);
            any_begin = true;
        } else if (op == Op::End) {
            if (open.empty()) {
                problems.push_back("Instruction " + std::to_string(i + 1) + " '" + words[i] +
                                   "' has no \"begin\" before it");
            } else {
                open.pop_back();
            }
        }
    }
    for (const std::size_t i : open) {
        problems.push_back("Instruction " + std::to_string(i + 1) + " '" + words[i] +
                           "' has no \"end\" after it, so the chip stays powered");
    }
    if (!any_begin) problems.emplace_back("No \"begin\": the chip is never powered up");
}

// What check_script finds wrong with one script's words, as sentences.
std::vector<std::string> script_problems(const AppState& state, const AlgorithmScript& words, bool checks) {
    // The model's programming time has its own check above; here it must not repeat for every
    // "startprog".
    const std::int32_t prog_time = std::clamp(state.prog_time_ms, 0, kMaxProgTimeMs);
    const ScriptProgram program =
        compile_script(words, {state.flash_size, state.page_size, prog_time, 1, {}});
    std::vector<std::string> problems;
    for (const ScriptProblem& problem : program.problems)
        problems.push_back(without_final_stop(problem.text));
    check_power_pairs(program, words, problems);
    // A check cut short at the mismatch limit goes on with the last instruction only.
    if (checks && !program.instructions.empty() && program.instructions.back().op != Op::End) {
        problems.emplace_back(
            "The last instruction is not \"end\", so a run stopped at the mismatch limit leaves the chip "
            "powered");
    }
    return problems;
}

void check_script(const AppState& state, const DeviceModel& model, Operation operation, int slot,
                  std::vector<ModelFault>& faults) {
    if (model.script_text(operation).empty()) {
        faults.push_back(
            {operation, slot,
             "missing: the model's " + script_key(operation) + " line is absent or names an empty slot"});
        return;
    }
    const AlgorithmScript& words = state.script_for(operation);
    const bool checks = operation == Operation::BlankCheck || operation == Operation::Verify;
    for (std::string& problem : script_problems(state, words, checks))
        faults.push_back({operation, slot, std::move(problem)});
}

// The lines that describe how strict the chip is (model/silicon_lines.h): each must read, the
// blocks must lie in FLASH in order, and the erased values must not set bits the part lacks.
void check_silicon(const AppState& state, const DeviceModel& model, std::vector<ModelFault>& faults) {
    const std::pair<const char*, const std::string*> lines[] = {
        {"configbits:", &model.configbits},   {"codepulse:", &model.codepulse},
        {"configpulse:", &model.configpulse}, {"discharge:", &model.discharge},
        {"bootblock:", &model.bootblock},     {"codeblocks:", &model.codeblocks},
        {"deviceid:", &model.deviceid},
    };
    for (const auto& [key, value] : lines) {
        if (value->empty()) continue;
        if (std::string error = silicon_line_error(key, *value); !error.empty())
            faults.push_back({{}, -1, std::move(error)});
    }
    const SiliconTraits& silicon = state.silicon;
    std::vector<AddressRange> ranges;
    if (silicon.protection.boot) ranges.push_back(*silicon.protection.boot);
    ranges.insert(ranges.end(), silicon.protection.blocks.begin(), silicon.protection.blocks.end());
    std::int32_t next = 0;
    for (const AddressRange& range : ranges) {
        if (range.first < next || range.last >= state.flash_size) {
            faults.push_back(
                {{},
                 -1,
                 "bootblock: and codeblocks: must list ranges inside the FLASH size in ascending "
                 "order without overlap; " +
                     range_text(range) + " is not"});
            break;
        }
        next = range.last + 1;
    }
    if (silicon.protection.blocks.size() > 8)
        faults.push_back({{}, -1, "codeblocks: CONFIG5L has protection bits for 8 blocks at most"});
    if (!silicon.config_bits) return;
    std::string extra;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        const int erased = state.erased_config(k);
        if (erased < 0 || (erased & ~silicon.bits(k)) == 0) continue;
        std::string_view caption = config_caption(k);
        caption.remove_suffix(1);
        extra += (extra.empty() ? "" : ", ") + std::string(caption);
    }
    if (!extra.empty()) {
        faults.push_back({{},
                          -1,
                          "configerased: sets bits that configbits: says the part does not implement (" +
                              extra + "); a blank chip reads them as 0"});
    }
}

// The configuration settings by name: each line must read, and together they must name each
// implemented bit at most once, with values inside their bits.
void check_settings(const AppState& state, const DeviceModel& model, std::vector<ModelFault>& faults) {
    for (const std::string& line : model.settings) {
        if (std::string error = setting_line_error(line); !error.empty())
            faults.push_back({{}, -1, std::move(error)});
    }
    ConfigValues implemented;
    for (int k = 1; k <= kConfigByteCount; ++k)
        implemented(k) = state.silicon.bits(k);
    for (std::string& problem : setting_problems(state.silicon.settings, implemented))
        faults.push_back({{}, -1, "setting: " + std::move(problem)});
}

}  // namespace

std::string describe_fault(const ModelFault& fault) {
    if (!fault.operation) return fault.text;
    std::string where = std::string(operation_name(*fault.operation)) + " script";
    if (fault.slot >= 0) where += " (slot " + std::to_string(fault.slot) + ")";
    return where + ": " + fault.text;
}

int script_slot(const DeviceCatalog& catalog, int number, Operation operation) {
    const auto index = static_cast<std::size_t>(operation);
    const ScriptText& text = catalog.models.at(static_cast<std::size_t>(number)).script[index];
    if (!text) return -1;
    const auto& slots = catalog.tables[index].slot;
    const auto found = std::find(slots.begin(), slots.end(), text);
    return found == slots.end() ? -1 : static_cast<int>(found - slots.begin());
}

std::vector<ModelFault> check_model(AppState& state, int number) {
    // A voltage sequence left from the model before must not stand in for this one's.
    state.voltage_sequence = 0;
    select_model(state, number);
    const DeviceModel& model = state.catalog.models.at(static_cast<std::size_t>(number));
    std::vector<ModelFault> faults;
    check_sizes(model, faults);
    check_values(state, model, faults);
    for (int op = 0; op < kOperationCount; ++op) {
        const auto operation = static_cast<Operation>(op);
        check_script(state, model, operation, script_slot(state.catalog, number, operation), faults);
    }
    check_silicon(state, model, faults);
    for (std::string& clash : device_id_clashes(state.catalog, number))
        faults.push_back({{}, -1, std::move(clash)});
    check_settings(state, model, faults);
    if (!state.config_script.empty()) {
        for (std::string& problem : script_problems(state, state.config_script, true))
            faults.push_back({{}, -1, "configuration script: " + problem});
    }
    if (!state.keep_eeprom_script.empty()) {
        for (std::string& problem : script_problems(state, state.keep_eeprom_script, false))
            faults.push_back({{}, -1, "keep-EEPROM program script: " + problem});
    }
    return faults;
}

}  // namespace quillon

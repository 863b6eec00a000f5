#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// The five operation kinds, each with its own table of algorithm slots.
enum class Operation { Erase = 0, Program = 1, Read = 2, BlankCheck = 3, Verify = 4 };
inline constexpr int kOperationCount = 5;
inline constexpr int kSlotCount = 21;  // slots 0 to 20

// Text of one algorithm definition as written in the device file. Models keep the pointer they
// saw when their key line was read, so a later redefinition of the slot never reaches them.
using ScriptText = std::shared_ptr<const std::string>;

struct AlgorithmTable {
    std::array<ScriptText, kSlotCount> slot;
};

// One model, every field the text written after its key.
struct DeviceModel {
    std::string name;
    std::string flash;
    std::string eeprom;
    std::string configerased;
    std::string voltageseq;
    std::string progtime;
    std::string pagesize;
    std::array<ScriptText, kOperationCount> script;  // indexed by Operation
    // Lines a reader without them passes over as comments (model/silicon_lines.h).
    std::string configbits;
    std::string codepulse;
    std::string configpulse;
    std::string discharge;
    std::string bootblock;
    std::string codeblocks;
    ScriptText config_script;       // "configalg:", a slot of the configuration-only table
    ScriptText keep_eeprom_script;  // "keepeepromalg:", a slot of the keep-EEPROM program table
    std::string deviceid;
    std::vector<std::string> settings;  // "setting:" lines in file order (model/config_settings.h)

    const std::string& script_text(Operation op) const;
};

// A line the loader passed over, or one that had no effect, although it looked meant; for checkers
// to report.
struct DeviceFileNote {
    int line = 0;
    std::string text;
};

struct DeviceCatalog {
    std::array<AlgorithmTable, kOperationCount> tables;
    // "configalgdef": scripts that write the configuration bytes alone, used to set protection
    // after the rest of the chip has been verified.
    AlgorithmTable config_table;
    // "keepeepromalgdef": program scripts whose erase leaves the data EEPROM as it is.
    AlgorithmTable keep_eeprom_table;
    // Entry 0 is the spare that catches keys before the first "model:"; models are 1..model_count.
    std::vector<DeviceModel> models{DeviceModel{}};
    std::vector<DeviceFileNote> notes;

    int model_count() const { return static_cast<int>(models.size()) - 1; }
};

const char* operation_name(Operation op);  // "erase", "program", "read", "blank check", "verify"

}  // namespace quillon

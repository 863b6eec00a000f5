#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/memory_image.h"
#include "model/device_catalog.h"
#include "model/memory_regions.h"
#include "model/silicon_lines.h"

namespace quillon {

inline constexpr const char* kProductTitle = "Ardentix Quillon";

// A script as the engine runs it: instruction words numbered from 1 (word n is at index n - 1).
using AlgorithmScript = std::vector<std::string>;

// The selected model's working values, set by select_model.
struct ActiveDevice {
    std::string model_name;
    std::int32_t flash_size = 0;
    std::int32_t eeprom_size = 0;
    ConfigValues erased_config;
    std::int32_t voltage_sequence = 0;  // 1 = VDD before VPP, 2 = VPP before VDD, 0 = none set yet
    std::int32_t prog_time_ms = 0;
    std::int32_t page_size = 0;
    AlgorithmScript erase_script;
    AlgorithmScript program_script;
    AlgorithmScript read_script;
    AlgorithmScript blank_check_script;
    AlgorithmScript verify_script;
    // Writes the configuration bytes alone; empty when the model names no such script.
    AlgorithmScript config_script;
    // Programs FLASH and configuration with an erase that leaves the data EEPROM as it is; empty
    // when the model names no such script.
    AlgorithmScript keep_eeprom_script;
    SiliconTraits silicon;

    const AlgorithmScript& script_for(Operation op) const;
};

// The bytes of the last address split, for the address-loading instructions.
struct AddressBytes {
    std::int32_t address_upper = 0;
    std::int32_t address_high = 0;
    std::int32_t address_low = 0;
};

// One difference that a blank check or a verify found, in the texts its report line shows.
struct MismatchRow {
    std::string location;        // "FLASH Byte 000010h", "EEPROM Byte 0010h", "CONF Byte 300001h"
    std::string read_value;      // "3Fh"
    std::string expected_value;  // "FFh"
};

// The interpreter's own values; they survive from one run to the next.
struct InterpreterValues {
    std::int32_t loop_start = 0;
    std::int32_t loop_end = 0;
    std::int32_t last_read = 0;
};

// The program's one set of shared variables. The program owns exactly one; operations take it by
// reference, so tests and the command-line tool own their own.
struct AppState : ActiveDevice {
    // Fixed at start-up.
    std::string program_folder;
    std::string product_title = kProductTitle;
    double layout_scale = 1.0;

    // Device file and selected model.
    DeviceCatalog catalog;
    std::int32_t model_count = 0;
    std::int32_t model_number = 0;

    // Files and port.
    std::string last_path;
    std::string port_list;
    std::int32_t default_port = 2;
    std::int32_t port_number = 0;
    std::string baud_setting;
    bool port_open = false;
    // How the status line names the programmer port ("Serial port COM5", "Simulated board
    // (PIC18F452)"); set whenever a port is opened or attached.
    std::string port_label;

    // Script run.
    AlgorithmScript run_script;
    std::int32_t run_length = 0;
    std::int32_t run_pc = 0;
    std::int32_t run_address = 0;
    std::int32_t last_flash_address = 0;
    std::int32_t last_eeprom_address = 0;
    // The memories the run covers; the others' loops are passed over and their reads and compares
    // dropped.
    MemoryRegions run_regions;
    // The mismatch report as rows; mismatch_report (engine) renders its text.
    std::vector<MismatchRow> mismatch_rows;

    // Memory image of the target chip.
    MemoryImage image;

    // Engine working values.
    AddressBytes address;
    InterpreterValues interpreter;

    std::int32_t mismatch_count() const { return static_cast<std::int32_t>(mismatch_rows.size()); }
};

}  // namespace quillon

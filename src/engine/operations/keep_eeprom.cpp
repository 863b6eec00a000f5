#include "engine/operations/keep_eeprom.h"

#include <algorithm>
#include <optional>
#include <string>

#include "engine/operations/socket_check.h"
#include "model/protection.h"

namespace quillon {

namespace {

constexpr MemoryRegions kEepromAndConfig{false, true, true};

bool eeprom_read_protected(const AppState& state, const ConfigValues& chip_config) {
    const ProtectedAreas areas = protected_areas(state.silicon, chip_config);
    return std::any_of(areas.areas.begin(), areas.areas.end(),
                       [](const ProtectedArea& area) { return area.kind == ProtectedArea::Kind::Eeprom; });
}

RunOutcome refuse(ChipSession& session, const std::string& why) {
    session.host.set_status("Program all not started: the data EEPROM could not be kept.");
    session.host.show_message(why + " Nothing was erased or programmed.", MessageKind::Error,
                              session.state.product_title);
    return RunOutcome::ScriptRefused;
}

// The chip's data EEPROM and configuration, read over the image's buffers and then handed back,
// so that the buffers stay as the user had them.
std::optional<MemoryImage> read_chip_eeprom(ChipSession& session, RunOutcome& outcome) {
    AppState& state = session.state;
    const MemoryImage image = state.image;
    outcome = run_algorithm(session, Operation::Read, kEepromAndConfig);
    MemoryImage chip = state.image;
    state.image = image;
    session.host.updatedisplay();
    if (outcome != RunOutcome::Completed) return std::nullopt;
    chip.flash.clear();
    chip.loaded_flash_end = 0;
    return chip;
}

RunOutcome write_back(ChipSession& session, const MemoryImage& chip, const std::string& backup_name) {
    AppState& state = session.state;
    const EepromBuffer image_eeprom = state.image.eeprom;
    state.image.eeprom = chip.eeprom;
    const RunOutcome outcome =
        run_script_over(session, Operation::Program, state.program_script, kAllRegions,
                        "data EEPROM written back as the chip had it; a copy is in " + backup_name);
    state.image.eeprom = image_eeprom;
    if (outcome != RunOutcome::Completed && outcome != RunOutcome::ScriptRefused &&
        outcome != RunOutcome::ScriptUnrecognized && outcome != RunOutcome::PortClosed) {
        session.host.show_message("The chip's data EEPROM as it was before the erase is kept in " +
                                      backup_name +
                                      ". Program the chip again with it to bring the bytes back.",
                                  MessageKind::Info, "");
    }
    return outcome;
}

}  // namespace

RunOutcome program_keeping_eeprom(ChipSession& asked, const EepromBackup& backup) {
    // The chip is asked who it is before its EEPROM is read; the runs below do not ask again.
    if (const std::optional<RunOutcome> refused = check_socket(asked, Operation::Program)) return *refused;
    ChipSession session = asked;
    session.socket = nullptr;
    AppState& state = session.state;
    if (!state.keep_eeprom_script.empty())
        return run_script_over(session, Operation::Program, state.keep_eeprom_script, kWithoutEeprom,
                               "data EEPROM left as it was");
    if (!state.port_open || session.port == nullptr) return run_algorithm(session, Operation::Program);

    RunOutcome outcome = RunOutcome::Completed;
    const std::optional<MemoryImage> chip = read_chip_eeprom(session, outcome);
    if (!chip) return outcome;
    if (eeprom_read_protected(state, chip->config))
        return refuse(session,
                      "The chip's data EEPROM is code-protected and reads as 00, so its bytes cannot "
                      "be kept.");
    if (!backup) return refuse(session, "There is no place to keep a copy of the chip's data EEPROM.");
    const EepromBackupResult saved = backup(*chip);
    if (!saved.error.empty())
        return refuse(session, "A copy of the chip's data EEPROM could not be saved: " + saved.error + ".");
    return write_back(session, *chip, saved.name);
}

}  // namespace quillon

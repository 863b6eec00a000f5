// The "Keep data EEPROM" box and the commands it changes: Program All, Verify and Blank Check.
#include <QCheckBox>

#include "engine/operations/keep_eeprom.h"
#include "hexfile/eeprom_backup.h"
#include "model/settings_catalog.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"

namespace quillon {

bool MainWindow::keeps_eeprom() const {
    return ui_->keep_eeprom->isChecked();
}

void MainWindow::keep_eeprom_changed(bool on) {
    write_setting(settings_, kKeepEepromSetting, on ? 1 : 0);
}

std::string MainWindow::backup_base_path() const {
    return loaded_path_.empty() ? state_.last_path + "quillon-buffer.hex" : loaded_path_;
}

RunOutcome MainWindow::program_chip(ChipSession& session) {
    if (!keeps_eeprom()) return program_all(session);
    const std::string base = backup_base_path();
    return program_keeping_eeprom(session, [base](const MemoryImage& chip) {
        const Result<std::string> saved = save_eeprom_backup(base, chip);
        return saved.ok() ? EepromBackupResult{*saved, {}} : EepromBackupResult{{}, saved.error().message};
    });
}

RunOutcome MainWindow::check_chip(ChipSession& session, Operation operation) {
    return run_algorithm(session, operation, keeps_eeprom() ? kWithoutEeprom : kAllRegions);
}

}  // namespace quillon

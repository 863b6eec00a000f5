// The main window's commands on files, the model, the programmer port and the hardware check, the
// simulated programmer, and the mouse wheel.
#include <QAction>
#include <QDir>
#include <QEvent>
#include <QScrollBar>
#include <algorithm>

#include "base/settings_store.h"
#include "engine/script/programmer_lines.h"
#include "hexfile/hex_file_commands.h"
#include "hexfile/hex_paths.h"
#include "model/app_state.h"
#include "model/select_model.h"
#include "model/settings_catalog.h"
#include "ports/port_manager.h"
#include "ports/port_status.h"
#include "ui/file_dialogs.h"
#include "ui/hardware_check_dialog.h"
#include "ui/main_window_controls.h"
#include "ui/model_dialog.h"
#include "ui/simulated_programmer.h"
#include "ui/start_settings.h"
#include "ui/user_dialogs.h"

namespace quillon {

namespace {

constexpr int kWheelRows = 3;

char path_separator() {
    return QDir::separator().toLatin1();
}

}  // namespace

void MainWindow::remember_folder(const std::string& chosen_path) {
    // The dialogs start in the folder of the last chosen file, whether or not it loads or saves.
    state_.last_path = split_chosen_path(chosen_path, path_separator()).folder;
    write_setting(settings_, kLastPathSetting, state_.last_path);
}

void MainWindow::menuopen() {
    if (busy_) return;
    const std::string path = dialogs_.choose_file({FileDialogRequest::Kind::Open, "Select HEX File To Open",
                                                   std::string(kHexFileFilter), state_.last_path});
    if (path.empty()) return;
    remember_folder(path);
    const HexReadOutcome outcome = open_hex_file(state_, host_, path, path_separator());
    loaded_path_ = outcome == HexReadOutcome::Accepted || outcome == HexReadOutcome::AcceptedOutOfRange
                       ? path
                       : std::string();
}

void MainWindow::menusave() {
    if (busy_) return;
    const std::string path = dialogs_.choose_file(
        {FileDialogRequest::Kind::Save, "Save Buffer As", std::string(kHexFileFilter), state_.last_path});
    if (path.empty()) return;
    remember_folder(path);
    save_buffer_as(state_, host_, path, path_separator());
}

void MainWindow::menumodel() {
    if (busy_) return;
    ModelDialog dialog(state_, theme_, settings_, this);
    dialog.exec();
    // Only another model needs other buffers; after Cancel, or the model already selected, the
    // loaded file, the edits and a chip just read stay.
    if (dialog.model_changed()) model_changed();
}

void MainWindow::model_changed() {
    menuclear();
    // Selecting a model does not change the silicon: the simulated board keeps the chip in its
    // socket, as a real board does, and the status line names it. Switching the simulated
    // programmer off and on puts in a chip of the selected model.
    if (simulated_ && simulator_ != nullptr && simulator_->has_chip() && state_.port_open)
        set_status(QString::fromStdString(port_status_text(state_.port_label, PortStatus::Ready)));
}

// As the model dialog selects a model.
void MainWindow::select_model_found(int model_number) {
    if (model_number < 1 || model_number > state_.model_count || model_number == state_.model_number) return;
    state_.model_number = model_number;
    write_setting(settings_, kModelSetting, std::to_string(model_number));
    select_model(state_, model_number);
    model_changed();
}

void MainWindow::menucheck() {
    ProgrammerPort* port = ports_ != nullptr ? ports_->port() : nullptr;
    if (port == nullptr) {
        set_status(QString::fromStdString(closed_port_text(state_.port_number)));
        return;
    }
    ProgrammerLines lines(*port, host_, clock_);
    HardwareCheckDialog dialog(lines, this);
    dialog.exec();
    if (port->failed()) {
        // An adapter pulled out while the dialog was open: the port is no use any more.
        ports_->close_port();
        set_status(QString::fromStdString(port_status_text(state_.port_label, PortStatus::Error)));
    }
}

void MainWindow::menuport() {
    if (ports_ == nullptr || !ports_->menuport()) return;
    // A port number chosen means that serial port, also where the simulated board served.
    if (simulated_) {
        simulated_ = false;
        ui_->menusim->setChecked(false);
        write_setting(settings_, kSimulatedProgrammerSetting, 0);
        simulator_->release(*ports_);
    }
}

void MainWindow::menuprogtime() {
    if (ports_ != nullptr) ports_->menuprogtime();
}

void MainWindow::set_simulator(SimulatedProgrammer* simulator, bool on_for_this_run) {
    simulator_ = simulator;
    simulated_for_run_ = on_for_this_run;
    ui_->menusim->setEnabled(simulator_ != nullptr);
}

void MainWindow::menusim(bool on) {
    if (simulator_ == nullptr || ports_ == nullptr) {
        ui_->menusim->setChecked(simulated_);
        return;
    }
    write_setting(settings_, kSimulatedProgrammerSetting, on ? 1 : 0);
    use_simulator(on);
}

void MainWindow::use_simulator(bool on) {
    simulated_ = on;
    ui_->menusim->setChecked(on);
    if (on) {
        simulator_->attach(*ports_);
    } else {
        ports_->open_programmer_port();  // takes the board away first
        simulator_->release(*ports_);
    }
}

void MainWindow::after_run() {
    if (simulated_ && simulator_ != nullptr) simulator_->save_chip();
}

void MainWindow::MouseWheel(std::int32_t /*mousekeys*/, std::int32_t rotation, std::int32_t /*xpos*/,
                            std::int32_t /*ypos*/) {
    QScrollBar* scroll = active_table_ == 1 ? ui_->scrl1 : active_table_ == 2 ? ui_->scrl2 : nullptr;
    if (scroll == nullptr) return;
    // An edit box over a table cell would stay where it is while other rows move under it, and
    // its entry would go to a byte the box no longer covers: scrolling ends that edit untaken.
    if (editing_ && edit_target_ != EditTarget::Config) finish_edit(false);
    const int step = rotation < 0 ? kWheelRows : -kWheelRows;
    scroll->setValue(std::clamp(scroll->value() + step, scroll->minimum(), scroll->maximum()));
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            wheel_hook_.hook(*this, settings_);
        else
            wheel_hook_.unhook();
    }
    QMainWindow::changeEvent(event);
}

}  // namespace quillon

#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>

#include "base/hex_text.h"
#include "model/app_state.h"
#include "model/reset_buffers.h"
#include "model/settings_catalog.h"
#include "ports/port_manager.h"
#include "ui/buffer_view.h"
#include "ui/config_cell_view.h"
#include "ui/dialog_support.h"
#include "ui/main_window_controls.h"
#include "ui/memory_table.h"
#include "ui/simulated_programmer.h"
#include "ui/start_settings.h"
#include "ui/theme_paint.h"
#include "ui/theme_state.h"
#include "ui/theme_window.h"
#include "ui/twips.h"
#include "ui/ui_fonts.h"
#include "ui/user_dialogs.h"

namespace quillon {

namespace {

std::string about_text(const std::string& product_title) {
    return product_title + " " + QUILLON_VERSION +
           "\r\n"
           "A programmer for PIC18 microcontrollers on a serial-port programmer board.\r\n"
           "\r\n"
           "This software is supplied as is, without any warranties of any kind, express or implied, "
           "including fitness for a particular purpose. You use it at your own risk.";
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent),
      state_(services.state),
      theme_(services.theme),
      settings_(services.settings),
      dialogs_(services.dialogs),
      clock_(services.clock),
      pump_(services.clock),
      host_(*this, services.dialogs, pump_),
      ui_(std::make_unique<Controls>()) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromStdString(state_.product_title));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(window_font());
    build_controls();
    build_menus();
    connect_commands();
    setFixedSize(ui_->central->width(), ui_->central->height() + menuBar()->sizeHint().height());
    settheme();
}

MainWindow::~MainWindow() = default;

void MainWindow::connect_commands() {
    Controls& ui = *ui_;
    connect(ui.menuclear, &QAction::triggered, this, &MainWindow::menuclear);
    using Run = std::function<RunOutcome(ChipSession&)>;
    const std::array<std::pair<QAction*, Run>, 5> operations = {{
        {ui.menuprogram, [this](ChipSession& session) { return program_chip(session); }},
        {ui.menuread, &read_all},
        {ui.menuerase, &erase_all},
        {ui.menublank, [this](ChipSession& session) { return check_chip(session, Operation::BlankCheck); }},
        {ui.menuverify, [this](ChipSession& session) { return check_chip(session, Operation::Verify); }},
    }};
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const Run operation = operations[i].second;
        const bool programs = operations[i].first == ui.menuprogram;
        connect(operations[i].first, &QAction::triggered, this,
                [this, operation, programs] { run_operation(operation, programs); });
        connect(ui.command[i], &QPushButton::clicked, this,
                [this, operation, programs] { run_operation(operation, programs); });
    }
    connect(ui.command_stop, &QPushButton::clicked, this, &MainWindow::menustop);
    connect(ui.keep_eeprom, &QCheckBox::toggled, this, &MainWindow::keep_eeprom_changed);
    ui.stop_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    ui.stop_key->setEnabled(false);
    connect(ui.stop_key, &QShortcut::activated, this, &MainWindow::menustop);
    connect(ui.menuopen, &QAction::triggered, this, &MainWindow::menuopen);
    connect(ui.menusave, &QAction::triggered, this, &MainWindow::menusave);
    connect(ui.menucheck, &QAction::triggered, this, &MainWindow::menucheck);
    connect(ui.menusim, &QAction::triggered, this, &MainWindow::menusim);
    connect(ui.menumodel, &QAction::triggered, this, &MainWindow::menumodel);
    connect(ui.menuport, &QAction::triggered, this, &MainWindow::menuport);
    connect(ui.menuprogtime, &QAction::triggered, this, &MainWindow::menuprogtime);
    connect(ui.menuportinfo, &QAction::triggered, this, &MainWindow::menuportinfo);
    connect(ui.menucolors, &QAction::triggered, this, &MainWindow::menucolors);
    connect(ui.menuabout, &QAction::triggered, this, &MainWindow::menuabout);

    for (QScrollBar* scroll : {ui.scrl1, ui.scrl2}) {
        connect(scroll, &QScrollBar::valueChanged, this, [this, scroll] { scroll_changed(*scroll); });
        scroll->installEventFilter(this);
    }
    for (MemoryTable* table : {ui.tabla_flash, ui.tabla_eeprom}) {
        table->installEventFilter(this);
        table->viewport()->installEventFilter(this);
    }
    for (QLabel* label : {ui.label7, ui.label_hex, ui.label1, ui.label_ime, ui.label_info})
        label->installEventFilter(this);
    for (QLabel* label : ui.label_conf)
        label->installEventFilter(this);
    ui.unosbox->installEventFilter(this);
    ui.central->installEventFilter(this);
}

void MainWindow::load() {
    load_theme(theme_, settings_);
    settheme();
    centre_on_screen(*this);
    show();
    restore_settings(state_, settings_);
    {
        const QSignalBlocker quiet(ui_->keep_eeprom);  // reading the choice is no change of it
        ui_->keep_eeprom->setChecked(read_setting(settings_, kKeepEepromSetting) != 0);
    }
    menuclear();
    if (ports_ == nullptr) return;
    ports_->scan_ports();
    const bool simulated = simulator_ != nullptr &&
                           (simulated_for_run_ || read_setting(settings_, kSimulatedProgrammerSetting) != 0);
    if (!simulated) {
        ports_->open_programmer_port();
        return;
    }
    // The serial port's number stays the default of the port command.
    state_.port_number = read_setting(settings_, kPortNumberSetting, state_.default_port);
    use_simulator(true);
}

void MainWindow::settheme() {
    Controls& ui = *ui_;
    paint_background(*ui.central, theme_.role(ThemeRole::Window));
    paint_control(*ui.label7, theme_.role(ThemeRole::LoadedFileBackground),
                  theme_.role(ThemeRole::LoadedFileText));
    for (QLabel* label : ui.lfix)
        paint_control(*label, theme_.role(ThemeRole::HighlightBackground),
                      theme_.role(ThemeRole::HighlightText));
    paint_control(*ui.label1, theme_.role(ThemeRole::ModelCaptionBackground),
                  theme_.role(ThemeRole::ModelCaptionText));
    paint_check_box(*ui.keep_eeprom, theme_.role(ThemeRole::ModelCaptionBackground),
                    theme_.role(ThemeRole::ModelCaptionText));
    for (QLabel* label : {ui.label_hex, ui.label_status})
        paint_control(*label, theme_.role(ThemeRole::FieldBackground), theme_.role(ThemeRole::FieldText));
    for (QLabel* label : ui.label_conf)
        paint_control(*label, theme_.role(ThemeRole::FieldBackground), theme_.role(ThemeRole::FieldText));
    for (QLabel* label : {ui.label3, ui.label4})
        paint_control(*label, theme_.role(ThemeRole::MemoryCaptionBackground),
                      theme_.role(ThemeRole::MemoryCaptionText));
    for (QLabel* label : {ui.label_ime, ui.label5})
        paint_control(*label, theme_.role(ThemeRole::ModelNameBackground),
                      theme_.role(ThemeRole::ModelNameText));
    paint_control(*ui.label_info, theme_.role(ThemeRole::InfoBackground), theme_.role(ThemeRole::InfoText));
}

void MainWindow::set_status(const QString& text) {
    ui_->label_status->setText(text);
}

void MainWindow::set_loaded_file(const QString& text) {
    ui_->label_hex->setText(text);
}

void MainWindow::set_progress(int percent, const QString& text) {
    QProgressBar& bar = *ui_->progress;
    bar.setRange(0, percent < 0 ? 0 : 100);
    bar.setValue(std::max(percent, 0));
    bar.setFormat(text);
    show_progress_bar(running_);
}

void MainWindow::hide_progress() {
    show_progress_bar(false);
}

// The bar takes the right half of the status line while it shows; otherwise the line has it all.
void MainWindow::show_progress_bar(bool shown) {
    Controls& ui = *ui_;
    if (ui.progress->isHidden() != shown) return;
    const Twips tw = Twips::for_widget(*this);
    ui.label_status->setGeometry(tw.rect(60, 6120, shown ? kProgressLeft - 105 : 6975, 255));
    ui.progress->setVisible(shown);
}

void MainWindow::fill_table(MemoryTable& table, const std::string& text) {
    table.set_rows(QString::fromStdString(text));
}

void MainWindow::updatedisplay() {
    // A redraw asked for while one is drawing (from the events it lets run) is done after it.
    if (redrawing_) {
        redraw_again_ = true;
        return;
    }
    redrawing_ = true;
    Controls& ui = *ui_;
    do {
        redraw_again_ = false;
        ui.label_ime->setText(QString::fromStdString(state_.model_name));
        ui.label_info->setText(
            QString::fromStdString(memory_sizes_text(state_.flash_size, state_.eeprom_size)));
        ui.tabla_flash->set_rows({});
        ui.tabla_eeprom->set_rows({});
        for (QLabel* label : ui.label_conf)
            label->clear();
        pump_.paint_now();
        fill_table(*ui.tabla_flash, flash_table_text(state_, ui.scrl1->value()));
        fill_table(*ui.tabla_eeprom, eeprom_table_text(state_, ui.scrl2->value()));
        for (int k = 0; k < kConfigCells; ++k) {
            QLabel& cell = *ui.label_conf[static_cast<std::size_t>(k)];
            cell.setText(QString::fromStdString(hex2(state_.image.config(k + 1))));
            cell.setToolTip(QString::fromStdString(config_cell_tip(state_, k + 1)));
        }
        pump_.paint_now();
    } while (redraw_again_);
    redrawing_ = false;
}

void MainWindow::disable() {
    set_commands_enabled(false);
}

void MainWindow::enable() {
    set_commands_enabled(true);
}

void MainWindow::set_commands_enabled(bool enabled) {
    busy_ = !enabled;
    for (QMenu* menu : ui_->menus)
        menu->menuAction()->setEnabled(enabled);
    for (QPushButton* button : ui_->command)
        button->setEnabled(enabled);
    ui_->keep_eeprom->setEnabled(enabled);
    pump_.run_now();
}

void MainWindow::scroll_changed(QScrollBar& scroll) {
    // While the thumb is dragged, what is pending paints before the next position is drawn.
    if (scroll.isSliderDown()) pump_.paint_now();
    updatedisplay();
}

void MainWindow::menuclear() {
    Controls& ui = *ui_;
    disable();
    reset_buffers(state_);
    loaded_path_.clear();
    updatedisplay();
    set_loaded_file({});
    set_status({});
    enable();
    ui.scrl1->setMaximum(0);
    ui.scrl2->setMaximum(0);
    if (state_.flash_size > 0) ui.scrl1->setMaximum(scroll_maximum(state_.flash_size, kFlashBytesPerRow));
    if (state_.eeprom_size > 0) ui.scrl2->setMaximum(scroll_maximum(state_.eeprom_size, kEepromBytesPerRow));
    ui.scrl2->setFocus();
    ui.scrl1->setFocus();
}

void MainWindow::run_operation(const std::function<RunOutcome(ChipSession&)>& operation, bool programs) {
    if (busy_) return;
    if (editing_) finish_edit(false);
    if (programs && !program_all_confirmed(state_, host_)) return;
    // A chip of another model refused offers that model; it is selected once the run is over.
    int model_found = 0;
    const SocketCheck socket{false, [&model_found](int number) { model_found = number; }};
    ChipSession session{state_, host_, clock_, ports_ != nullptr ? ports_->port() : nullptr, &socket};
    stop_requested_ = false;
    show_run_controls(true);
    const RunOutcome outcome = operation(session);
    show_run_controls(false);
    if (outcome == RunOutcome::PortFailed && ports_ != nullptr) ports_->close_port();
    after_run();
    if (model_found != 0) select_model_found(model_found);
    if (close_asked_) {
        close_asked_ = false;
        const char* question = outcome == RunOutcome::Stopped
                                   ? "The operation was stopped and the chip powered down. Close the window?"
                                   : "The operation has ended. Close the window?";
        if (dialogs_.show_message(question, MessageKind::YesNo, state_.product_title) == MessageAnswer::Yes)
            close();
    }
}

void MainWindow::menustop() {
    if (running_) stop_requested_ = true;
}

void MainWindow::show_run_controls(bool running) {
    Controls& ui = *ui_;
    running_ = running;
    ui.command_stop->setEnabled(running);
    ui.stop_key->setEnabled(running);
    // The bar follows once the run gives its first progress, past the chip's ID read and its
    // questions.
    show_progress_bar(false);
}

void MainWindow::menuabout() {
    dialogs_.show_message(about_text(state_.product_title), MessageKind::Ok, state_.product_title);
}

void MainWindow::menuportinfo() {
    if (ports_ != nullptr) ports_->menuportinfo();
}

void MainWindow::menucolors() {
    ThemeWindow window(
        theme_, settings_, [this] { settheme(); }, this);
    window.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing now would pull the window away under the run, and a question while the run waits
    // would hold the chip powered. A chip operation stops at once, at the end of its frame, and
    // powers the chip down; then the window asks whether to close. A file command is over in a
    // moment.
    if (busy_) {
        event->ignore();
        if (running_) {
            stop_requested_ = true;
            close_asked_ = true;
        }
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace quillon

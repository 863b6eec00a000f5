#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/operations/chip_operations.h"
#include "ui/buffer_edit.h"
#include "ui/event_pump.h"
#include "ui/gui_host.h"
#include "ui/wheel_hook.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;

namespace quillon {

class Clock;
class MemoryTable;
class PortManager;
class SettingsStore;
class SimulatedProgrammer;
class UserDialogs;
struct AppState;
struct ThemeState;

// What the main window works with; the program owns all of it and outlives the window.
struct MainWindowServices {
    AppState& state;
    ThemeState& theme;
    SettingsStore& settings;
    UserDialogs& dialogs;
    Clock& clock;
};

inline constexpr int kConfigCells = 14;

// The programmer's only permanent window: the model, the FLASH and EEPROM tables, the
// configuration bytes, the loaded file and the status line, with every command in its menus and
// five buttons. While a chip operation runs, its Stop button (and Esc) asks the run to stop, and a
// progress bar beside the status line shows how far it has come and the time left. It draws the
// state and hands commands to the core; no programming logic lives here.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The owner of the programmer port; without one the chip operations find the port closed.
    void set_port_manager(PortManager* ports) { ports_ = ports; }
    // The simulated board the Hardware menu can make the programmer port. It is used from the
    // load step on when the setting kSimulatedProgrammerSetting is on, or when `on_for_this_run`
    // (the program's --simulated switch, which stores nothing).
    void set_simulator(SimulatedProgrammer* simulator, bool on_for_this_run = false);
    // True while the simulated board is chosen as the programmer.
    bool simulated() const { return simulated_; }

    // The host that operations started here report to.
    Host& host() { return host_; }

    // The load step: theme, show, settings, model, Clear Buffer, port scan and port open.
    void load();

    // Redraws the model labels, both tables and the configuration cells from the state.
    void updatedisplay();
    // Lock and unlock the five menus and five buttons, then let pending events run.
    void disable();
    void enable();
    // Paints the window from the current theme.
    void settheme();

    void set_status(const QString& text);
    void set_loaded_file(const QString& text);
    // The progress bar of the running operation: its share done and what the bar says beside it;
    // a negative share for a run that has nothing to count.
    void set_progress(int percent, const QString& text);
    // Hides the progress bar until the run gives its progress again, so that the status line
    // shows all of its text (while a question is up).
    void hide_progress();

    // Commands.
    void menuclear();
    // `programs`: Program All, which asks first when the buffers set protection.
    void run_operation(const std::function<RunOutcome(ChipSession&)>& operation, bool programs = false);
    // The "Keep data EEPROM" box: Program All leaves the chip's data EEPROM as it is, and Verify
    // and Blank Check leave it out. The choice is stored.
    void keep_eeprom_changed(bool on);
    // The Stop button and Esc: the running chip operation stops at the end of its current frame.
    void menustop();
    void menuabout();
    void menuportinfo();
    void menucolors();
    void menuopen();
    void menusave();
    void menumodel();
    void menucheck();
    void menuport();
    void menuprogtime();
    // The Hardware menu's "Simulated Programmer" item: on makes the simulated board the programmer
    // port, off goes back to the serial port; the choice is stored.
    void menusim(bool on);

    // One wheel event while the window is active: scrolls the active table three rows, towards
    // higher addresses when `rotation` is negative (only its sign counts), within the scroll
    // range. `mousekeys` and the pointer position are as the toolkit reported them.
    void MouseWheel(std::int32_t mousekeys, std::int32_t rotation, std::int32_t xpos, std::int32_t ypos);
    // True while the wheel is intercepted (the window is active and the wheel is enabled).
    bool wheel_hooked() const { return wheel_hook_.hooked(); }

    // 1 = FLASH, 2 = EEPROM: the table the mouse wheel scrolls; 0 before either had the focus.
    int active_table() const { return active_table_; }
    // True between disable and enable (a chip operation or file command runs).
    bool busy() const { return busy_; }
    // True while a chip operation runs.
    bool running() const { return running_; }
    // True once Stop was asked for during the running operation.
    bool stop_requested() const { return stop_requested_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Controls;

    void build_controls();
    void build_menus();
    void connect_commands();
    void set_commands_enabled(bool enabled);
    void show_progress_bar(bool shown);
    void scroll_changed(QScrollBar& scroll);
    void fill_table(MemoryTable& table, const std::string& text);

    // Editing.
    void start_table_edit(MemoryTable& table, QPoint viewport_point);
    void start_config_edit(int index);
    void table_focused(MemoryTable& table);
    void finish_edit(bool take_entry);
    void drop_edit_on_focus_loss();
    QScrollBar& edit_scroll() const;
    QScrollBar& scroll_of(const MemoryTable& table) const;
    bool label_clicked(QObject* label);

    // Commands.
    void remember_folder(const std::string& chosen_path);
    void use_simulator(bool on);
    void after_run();
    void show_run_controls(bool running);
    bool keeps_eeprom() const;
    // Program All, Verify and Blank Check as the "Keep data EEPROM" box says.
    RunOutcome program_chip(ChipSession& session);
    RunOutcome check_chip(ChipSession& session, Operation operation);
    // Beside the loaded HEX file, or in the last folder when the buffers come from no file.
    std::string backup_base_path() const;
    void model_changed();
    void select_model_found(int model_number);

    AppState& state_;
    ThemeState& theme_;
    SettingsStore& settings_;
    UserDialogs& dialogs_;
    Clock& clock_;
    PortManager* ports_ = nullptr;
    SimulatedProgrammer* simulator_ = nullptr;
    bool simulated_for_run_ = false;
    bool simulated_ = false;

    EventPump pump_;
    GuiHost host_;
    std::unique_ptr<Controls> ui_;
    WheelHook wheel_hook_;

    std::string loaded_path_;  // the HEX file the buffers were loaded from; empty when none
    int active_table_ = 0;
    bool busy_ = false;
    bool running_ = false;
    bool stop_requested_ = false;
    bool close_asked_ = false;  // the close button stopped the run; ask once it has ended
    bool redrawing_ = false;
    bool redraw_again_ = false;

    EditTarget edit_target_ = EditTarget::None;
    std::int32_t edit_address_ = 0;
    bool edit_pending_ = false;
    bool editing_ = false;
};

}  // namespace quillon

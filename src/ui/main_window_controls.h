#pragma once

#include <array>

#include "ui/main_window.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QShortcut;
class QWidget;

namespace quillon {

class MemoryTable;

// The progress bar's left edge in twips: the status line keeps 60 to this, less a gap, during a run.
inline constexpr int kProgressLeft = 3540;

// The main window's controls, each also findable by its object name (the name in brackets).
struct MainWindow::Controls {
    QWidget* central = nullptr;
    QLabel* label7 = nullptr;          // "Label7": "Loaded HEX File"
    QLabel* label_hex = nullptr;       // path of the loaded HEX file
    QLabel* label1 = nullptr;          // "Label1": "Microcontroller Model"
    QLabel* label_ime = nullptr;       // model name
    QLabel* label_info = nullptr;      // memory sizes
    QLabel* label3 = nullptr;          // "Label3": "FLASH Memory"
    QLabel* label4 = nullptr;          // "Label4": "EEPROM Memory"
    QLabel* label5 = nullptr;          // "Label5": "Status"
    QLabel* label_status = nullptr;    // status line
    QProgressBar* progress = nullptr;  // "progress_run": beside the status line while a run goes on
    std::array<QLabel*, 15> lfix{};    // "lfix_0".."lfix_13": 1L..7H, "lfix_14": "Configuration Bytes"
    std::array<QLabel*, kConfigCells> label_conf{};  // "label_conf_0".."label_conf_13"
    std::array<QPushButton*, 5> command{};           // "Command1".."Command5"
    QPushButton* command_stop = nullptr;             // "Command6": "Stop", enabled while a run goes on
    QCheckBox* keep_eeprom = nullptr;                // "check_keep_eeprom": "Keep data EEPROM"
    // Esc, while a run goes on: at once, where the button's own shortcut would wait for its
    // pressed look to pass, by which time many frames have gone by.
    QShortcut* stop_key = nullptr;
    MemoryTable* tabla_flash = nullptr;
    MemoryTable* tabla_eeprom = nullptr;
    QScrollBar* scrl1 = nullptr;
    QScrollBar* scrl2 = nullptr;
    QLineEdit* unosbox = nullptr;
    std::array<QMenu*, 5> menus{};  // "menu1", "menu3", "menu4", "menu5", "menu6"

    QAction* menuclear = nullptr;
    QAction* menuopen = nullptr;
    QAction* menusave = nullptr;
    QAction* menuprogram = nullptr;
    QAction* menuread = nullptr;
    QAction* menuerase = nullptr;
    QAction* menublank = nullptr;
    QAction* menuverify = nullptr;
    QAction* menucheck = nullptr;
    QAction* menusim = nullptr;  // "Simulated Programmer", checkable
    QAction* menumodel = nullptr;
    QAction* menuport = nullptr;
    QAction* menuprogtime = nullptr;
    QAction* menucolors = nullptr;
    QAction* menuportinfo = nullptr;
    QAction* menuabout = nullptr;
};

}  // namespace quillon

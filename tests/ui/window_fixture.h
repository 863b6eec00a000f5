#pragma once

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/memory_settings_store.h"
#include "model/app_state.h"
#include "model/device_file.h"
#include "ports/port_manager.h"
#include "support/fake_port_provider.h"
#include "ui/main_window.h"
#include "ui/scripted_dialogs.h"
#include "ui/simulated_programmer.h"
#include "ui/theme_state.h"

namespace quillon {

// Four models: a PIC18F452-sized one with working scripts, a smaller one, one without EEPROM and
// without scripts, and one with a tiny FLASH.
inline const char* const kTestDevices =
    "erasealgdef 1: begin,end\r\n"
    "blankcheckalgdef 1: begin,end\r\n"
    "model: PIC18F452\r\nflash: 32768\r\neeprom: 256\r\n"
    "configerased: 00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,40\r\nvoltageseq: vddvpp\r\n"
    "progtime: 2\r\npagesize: 8\r\nerasealg: 1\r\nblankcheckalg: 1\r\n"
    "model: PIC18F242\r\nflash: 16384\r\neeprom: 256\r\n"
    "configerased: 00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,40\r\n"
    "model: PIC18F1220 without EEPROM\r\nflash: 4096\r\neeprom: 0\r\n"
    "configerased: 00,CF,1F,1F,00,80,85,00,03,C0,03,E0,03,40\r\n"
    "model: Tiny\r\nflash: 64\r\neeprom: 32\r\n";

// A main window over test state: settings in memory, dialogs answered by the test, a fake clock,
// and serial ports without hardware of which COM3 opens.
struct WindowFixture {
    explicit WindowFixture(std::string_view devices = kTestDevices) {
        provider.openable = {3};
        parse_device_text(state.catalog, devices);
        state.model_count = state.catalog.model_count();
        state.program_folder = "/opt/quillon/";
        window = std::make_unique<MainWindow>(MainWindowServices{state, theme, settings, dialogs, clock});
        ports = std::make_unique<PortManager>(state, settings, window->host(), provider);
        window->set_port_manager(ports.get());
    }

    // A simulated board whose chips are kept in `folder`, for the window to use (before load()).
    void use_simulator(const std::string& folder, bool on_for_this_run = false) {
        simulator = std::make_unique<SimulatedProgrammer>(state, window->host(), clock, folder);
        window->set_simulator(simulator.get(), on_for_this_run);
    }

    // The load step, with the window active so that focus events arrive.
    void load() {
        window->load();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text_of(const QString& label) const { return find<QLabel>(label)->text(); }
    std::string setting(std::string_view name) const { return settings.stored(name).text; }

    AppState state;
    ThemeState theme;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    FakeClock clock;
    FakePortProvider provider;
    std::unique_ptr<SimulatedProgrammer> simulator;  // outlives the board the port manager holds
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PortManager> ports;
};

}  // namespace quillon

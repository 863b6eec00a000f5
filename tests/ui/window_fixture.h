#pragma once

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <memory>
#include <string>

#include "devices/device_file.h"
#include "engine/clock.h"
#include "port/recording_port.h"
#include "startup/app_state.h"
#include "ui/main_window.h"
#include "ui/map_settings.h"
#include "ui/port_control.h"
#include "ui/scripted_dialogs.h"
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

// A port owner that hands out a recording port once "opened".
class FakePortControl final : public PortControl {
  public:
    explicit FakePortControl(AppState& state) : state_(state) {}
    void scan_ports() override { ++scans; }
    void open_programmer_port() override {
        ++opens;
        recording = std::make_unique<RecordingPort>();
        state_.port_open = true;
        state_.port_number = 3;
    }
    ProgrammerPort* port() override { return recording.get(); }
    void release_port() override {
        ++releases;
        recording.reset();
        state_.port_open = false;
    }
    void menuportinfo() override { ++pinouts; }

    std::unique_ptr<RecordingPort> recording;
    int scans = 0;
    int opens = 0;
    int releases = 0;
    int pinouts = 0;

  private:
    AppState& state_;
};

// A main window over test state: settings in memory, dialogs answered by the test, a fake clock.
struct WindowFixture {
    WindowFixture() {
        parse_device_text(state.catalog, kTestDevices);
        state.model_count = state.catalog.model_count();
        state.program_folder = "/opt/quillon/";
        window = std::make_unique<MainWindow>(
            MainWindowServices{state, theme, settings, dialogs, clock, [this] { ++program_ends; }});
        window->set_port_control(&ports);
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

    AppState state;
    ThemeState theme;
    MapSettings settings;
    ScriptedDialogs dialogs;
    FakeClock clock;
    FakePortControl ports{state};
    int program_ends = 0;
    std::unique_ptr<MainWindow> window;
};

}  // namespace quillon

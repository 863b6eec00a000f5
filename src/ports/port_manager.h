#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/host.h"
#include "base/port_provider.h"
#include "base/result.h"
#include "base/settings_store.h"
#include "model/app_state.h"

namespace quillon {

// Owns the programmer port: finds the ports that open, opens the one the settings name, and runs
// the commands that change the port and the programming time or show the pinout. The port stays
// open until another one is opened or the manager ends. Results reach the user through the host
// (status line, message box); nothing is thrown.
class PortManager {
  public:
    PortManager(AppState& state, SettingsStore& settings, Host& host, PortProvider& provider)
        : state_(state), settings_(settings), host_(host), provider_(provider) {}
    PortManager(const PortManager&) = delete;
    PortManager& operator=(const PortManager&) = delete;

    // Tries COM1 to COM16: `port_list` gets a line per port that opens, `default_port` the highest
    // of them, or 2 when none opens.
    void scan_ports();
    // True when the port opens with the probing settings and closes again.
    bool probe_port(int number);

    // (Re)opens the port of the setting kPortNumberSetting (default `default_port`) with the baud
    // rate of kBaudRateSetting, writes the status line and sets `port_number`, `baud_setting` and
    // `port_open`. DATA OUT and CLOCK are released after the port opens. A refused permission is
    // also explained in a message box. Fails with why the port did not open.
    Result<void, PortError> open_programmer_port();

    // Uses a port made elsewhere (a simulated board, a device named by its path) as the programmer
    // port; the status line reads `name` + " ready..." or `name` + " error!". Fails with why the
    // port cannot serve.
    Result<void, PortError> attach_port(std::unique_ptr<ProgrammerPort> port, std::string_view name);

    // Releases the port; `port_open` becomes false.
    void close_port();

    // The open programmer port, or null. A run that finds the port failed clears `port_open`; the
    // port then counts as closed until the next port change opens one.
    ProgrammerPort* port() const { return state_.port_open ? port_.get() : nullptr; }
    // True while `port` is the manager's port, open or failed (whoever made it can tell whether
    // it is still in use).
    bool holds(const ProgrammerPort* port) const { return port != nullptr && port_.get() == port; }

    // The port number command: asks for 1 to 16 (also "COM5"), stores it and reopens the port.
    // True when a number was taken and the port reopened (whether or not it opened).
    bool menuport();
    // "Change Default Programming Time": asks for 1 to 30 ms; lasts until another model is selected.
    void menuprogtime();
    // "Serial Port Pinout".
    void menuportinfo();

  private:
    // Opens the port `port_number` with `baud_setting` and releases its lines.
    PortOpenResult open_numbered_port();

    AppState& state_;
    SettingsStore& settings_;
    Host& host_;
    PortProvider& provider_;
    std::unique_ptr<ProgrammerPort> port_;
};

// The port number a typed answer names: 1 to 16, with or without "COM" before it in any case,
// rounded halves to even; empty for anything else (the command's "Wrong entry!").
std::optional<std::int32_t> typed_port_number(std::string_view answer);

// A typed programming time: 1 to 30 ms, rounded halves to even; empty for anything else.
std::optional<std::int32_t> typed_prog_time(std::string_view answer);

// The pinout message: the nine pins of the port's connector and their directions, tab separated,
// every line ending in CR LF.
std::string pinout_text();

}  // namespace quillon

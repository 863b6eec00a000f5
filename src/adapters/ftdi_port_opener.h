#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "adapters/ftdi_adapters.h"
#include "adapters/libftdi_adapter.h"
#include "base/port_provider.h"

namespace quillon {

// How the FTDI port finds and opens adapters: this machine's USB and libftdi, or a test's own.
struct FtdiAccess {
    std::function<std::vector<UsbAdapterFacts>()> list = [] { return list_ftdi_adapters(); };
    std::function<FtdiOpenResult(const UsbAdapterFacts&)> open = open_libftdi_adapter;
    bool built_in = libftdi_built_in();
};

// "ftdi" (the first FTDI adapter) or "ftdi:SERIAL" (the one with that serial number), as --port
// and the setting "Serial Port Device n" name them.
bool is_ftdi_port_name(std::string_view name);
// The serial number of "ftdi:SERIAL"; empty for "ftdi".
std::string ftdi_serial_in(std::string_view name);
// How the status line and messages name an adapter: "FTDI adapter A50285BI".
std::string ftdi_adapter_name(const UsbAdapterFacts& adapter);
// One line per connected adapter for the port list: "FTDI adapter A50285BI (FT232R): ftdi:A50285BI".
std::vector<std::string> ftdi_adapter_lines(const std::vector<UsbAdapterFacts>& adapters);

// The opened FTDI programmer port and the name of its adapter, or why there is none.
struct FtdiPortOpened {
    PortOpenResult result;
    std::string name;
};

// Finds the adapter `name` stands for, opens it and starts synchronous bit-bang at `baud`. Only
// an adapter the list shows, and the user may open, is handed to libftdi.
FtdiPortOpened open_ftdi_port(std::string_view name, int baud, const FtdiAccess& access);

}  // namespace quillon

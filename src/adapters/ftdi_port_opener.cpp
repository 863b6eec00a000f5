#include "adapters/ftdi_port_opener.h"

#include "backends/ftdi/ftdi_programmer_port.h"

namespace quillon {

namespace {

constexpr std::string_view kFtdi = "ftdi";

std::string known_ids() {
    std::string ids;
    for (const FtdiChipKind& kind : kFtdiChips)
        ids += (ids.empty() ? "" : ", ") + std::string(kind.usb_id);
    return ids;
}

FtdiPortOpened not_opened(PortErrorKind kind, std::string message, std::string name = {}) {
    return {failure(PortError{kind, std::move(message)}), std::move(name)};
}

}  // namespace

bool is_ftdi_port_name(std::string_view name) {
    return name == kFtdi || (name.starts_with("ftdi:") && name.size() > kFtdi.size() + 1);
}

std::string ftdi_serial_in(std::string_view name) {
    return name.size() > kFtdi.size() + 1 ? std::string(name.substr(kFtdi.size() + 1)) : std::string();
}

std::string ftdi_adapter_name(const UsbAdapterFacts& adapter) {
    return "FTDI adapter " + (adapter.serial.empty() ? adapter.usb_id : adapter.serial);
}

std::vector<std::string> ftdi_adapter_lines(const std::vector<UsbAdapterFacts>& adapters) {
    std::vector<std::string> lines;
    for (const UsbAdapterFacts& adapter : adapters) {
        lines.push_back(ftdi_adapter_name(adapter) + " (" + adapter.chip +
                        "): " + (adapter.serial.empty() ? std::string(kFtdi) : "ftdi:" + adapter.serial));
    }
    return lines;
}

FtdiPortOpened open_ftdi_port(std::string_view name, int baud, const FtdiAccess& access) {
    if (!access.built_in) {
        return not_opened(
            PortErrorKind::Failed,
            "The FTDI path is not built into this program: libftdi (Debian package libftdi1-dev) was "
            "missing when it was built. The adapter still works as a serial port (/dev/ttyUSB0 is port "
            "5), one USB transfer per line change.");
    }
    const std::vector<UsbAdapterFacts> adapters = access.list();
    if (adapters.empty()) {
        return not_opened(PortErrorKind::NoSuchDevice,
                          "No FTDI USB adapter is connected (USB IDs " + known_ids() +
                              "). Connect the programmer's adapter, or choose another port.");
    }
    const std::string serial = ftdi_serial_in(name);
    const UsbAdapterFacts* chosen = serial.empty() ? &adapters.front() : nullptr;
    for (const UsbAdapterFacts& adapter : adapters) {
        if (chosen == nullptr && adapter.serial == serial) chosen = &adapter;
    }
    if (chosen == nullptr) {
        std::string connected;
        for (const std::string& line : ftdi_adapter_lines(adapters))
            connected += "\n  " + line;
        return not_opened(PortErrorKind::NoSuchDevice, "No FTDI adapter with the serial number " + serial +
                                                           " is connected. Connected:" + connected);
    }
    const std::string adapter_name = ftdi_adapter_name(*chosen);
    if (!chosen->may_open) {
        return not_opened(PortErrorKind::PermissionDenied,
                          "You may not open the " + adapter_name + " (" + chosen->device_node +
                              "). Install the udev rule that gives the logged-in user its adapters "
                              "(70-quillon-ftdi.rules, see the README), then plug the adapter in again.",
                          adapter_name);
    }
    FtdiOpenResult opened = access.open(*chosen);
    if (!opened.ok()) {
        return not_opened(opened.error().kind,
                          "The " + adapter_name + " did not open: " + opened.error().message + ".",
                          adapter_name);
    }
    auto port = std::make_unique<FtdiProgrammerPort>(std::move(opened).value(), baud);
    if (const Result<> started = port->start(); !started.ok())
        return not_opened(PortErrorKind::Failed,
                          "The " + adapter_name + " cannot be used: " + started.error().message + ".",
                          adapter_name);
    return {std::unique_ptr<ProgrammerPort>(std::move(port)), adapter_name};
}

}  // namespace quillon

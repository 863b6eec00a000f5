#include "ports/port_errors.h"

namespace quillon {

namespace {

std::string permission_help(std::string_view device, std::string_view group) {
    if (group.empty() || group == "root") {
        return "Ask the administrator of this computer for read and write access to " + std::string(device) +
               ", then try again.";
    }
    const std::string group_text(group);
    return "Your user must be a member of the group \"" + group_text +
           "\", which owns the device. Add it with the command\r\n\r\nsudo usermod -aG " + group_text +
           " $USER\r\n\r\nthen log out and log in again.";
}

}  // namespace

std::string port_display_name(int number, std::string_view device) {
    if (number <= 0 && !device.empty()) return std::string(device);  // a device chosen by its name
    std::string name = "COM" + std::to_string(number);
    if (!device.empty() && device != name) name += " (" + std::string(device) + ")";
    return name;
}

PortError make_port_error(PortErrorKind kind, int number, std::string_view device, std::string_view detail) {
    const std::string port = "Serial port " + port_display_name(number, device);
    switch (kind) {
        case PortErrorKind::NoSuchDevice:
            return {kind, port + " does not exist or is not a serial port."};
        case PortErrorKind::PermissionDenied:
            return {kind,
                    port + " cannot be opened: permission denied.\r\n\r\n" + permission_help(device, detail)};
        case PortErrorKind::Busy:
            return {kind, port + " is in use by another program."};
        case PortErrorKind::BadSettings:
            return {kind, port + " does not accept the settings \"" + std::string(detail) + "\"."};
        case PortErrorKind::Failed:
            break;
    }
    return {kind, port + " cannot be used: " + std::string(detail.empty() ? "unknown error" : detail) + "."};
}

}  // namespace quillon

#include "ports/port_status.h"

namespace quillon {

namespace {

constexpr std::string_view kSerialPort = "Serial port ";

}  // namespace

std::string port_status_text(std::string_view port_name, PortStatus status) {
    return std::string(port_name) + (status == PortStatus::Ready ? " ready..." : " error!");
}

std::string serial_port_name(int number) {
    return std::string(kSerialPort) + "COM" + std::to_string(number);
}

std::string serial_port_name(std::string_view device) {
    return std::string(kSerialPort) + std::string(device);
}

std::string simulated_board_name(std::string_view model_name, std::string_view chip_file) {
    std::string name = "Simulated board (" + std::string(model_name);
    if (!chip_file.empty()) name += ", " + std::string(chip_file);
    return name + ")";
}

std::string closed_port_text(int number) {
    return port_status_text(std::string(kSerialPort) + std::to_string(number), PortStatus::Error);
}

}  // namespace quillon

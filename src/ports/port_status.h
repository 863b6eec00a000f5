#pragma once

#include <string>
#include <string_view>

namespace quillon {

// The status line's word on the programmer port: the port's name, then whether it serves.
enum class PortStatus { Ready, Error };

// `port_name` + " ready..." or `port_name` + " error!".
std::string port_status_text(std::string_view port_name, PortStatus status);

// How the status line names a serial port opened by its number: "Serial port COM5".
std::string serial_port_name(int number);
// ... and one opened by its device: "Serial port /dev/ttyUSB0".
std::string serial_port_name(std::string_view device);
// ... and the simulated board: "Simulated board (PIC18F452)", with the file that keeps its chip
// where there is one: "Simulated board (PIC18F452, chip.hex)".
std::string simulated_board_name(std::string_view model_name, std::string_view chip_file = {});

// What a chip operation or the hardware check says when it finds the port closed: "Serial port 5
// error!". Unlike the texts of opening a port it names the port by its bare number; both are kept
// as users know them.
std::string closed_port_text(int number);

}  // namespace quillon

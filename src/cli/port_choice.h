#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Which programmer port a chip command uses (the option --port).
struct PortChoice {
    enum class Kind : std::uint8_t {
        Stored,         // no --port: the port number setting, as the program opens it
        Number,         // --port 5 or --port COM5
        Device,         // --port /dev/ttyUSB0: a serial device by its own name
        Simulator,      // --port sim or --port sim:FILE
        Ftdi,           // --port ftdi or --port ftdi:SERIAL: an FTDI adapter in bit-bang mode
        FtdiSimulator,  // --port ftdisim or --port ftdisim:FILE: the simulated board on a modelled FTDI
                        // adapter
    };
    Kind kind = Kind::Stored;
    std::int32_t number = 0;  // Number: 1 to 16
    std::string device;       // Device; Ftdi: "ftdi" or "ftdi:SERIAL"
    std::string
        chip_file;  // Simulator, FtdiSimulator: where the chip is kept; empty for a chip of one command

    bool operator==(const PortChoice&) const = default;
};

inline constexpr std::string_view kPortChoiceHelp =
    "--port takes a port number from 1 to 16 (also COM5), a serial device, sim or sim:FILE, ftdi or "
    "ftdi:SERIAL, ftdisim or ftdisim:FILE";

// Reads the value of --port. A number (with or without "COM") follows the rules of the program's
// port number command; anything that is no number names a device. Empty for a number outside 1 to
// 16 and for "sim:", "ftdi:" or "ftdisim:" with nothing after it: the program's "Wrong entry!".
std::optional<PortChoice> parse_port_choice(std::string_view text);

}  // namespace quillon

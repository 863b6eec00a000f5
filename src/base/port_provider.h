#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/programmer_port.h"
#include "base/result.h"

namespace quillon {

// Line settings used to try whether a port can be opened at all.
inline constexpr const char* kProbeSettings = "9600,n,8,1";

enum class PortErrorKind : std::uint8_t {
    NoSuchDevice,      // nothing behind the number, or not a serial port
    PermissionDenied,  // the user may not open the device
    Busy,              // another program holds the port
    BadSettings,       // the line settings text is invalid or the port refuses it
    Failed,            // anything else, including control lines that cannot be switched
};

// Why a port did not open, with a message for the user.
struct PortError {
    PortErrorKind kind = PortErrorKind::Failed;
    std::string message;
};

// An opened port (never null), or why there is none.
using PortOpenResult = Result<std::unique_ptr<ProgrammerPort>, PortError>;

// What the platform does with the numbered serial ports 1 to 16: open one with a line settings
// text ("56000,n,8,1": baud rate, parity, data bits, stop bits), and say which device a number
// stands for. A serial backend, a simulated board or a test fake stands behind it.
class PortProvider {
  public:
    virtual ~PortProvider() = default;

    virtual PortOpenResult open(int number, const std::string& settings) = 0;

    // True when the port opens with kProbeSettings and closes again.
    virtual bool probe(int number) { return open(number, kProbeSettings).ok(); }

    // The device behind a number for the port list ("/dev/ttyUSB0"); empty where the number is the
    // device's own name (COM5 on Windows).
    virtual std::string describe(int number) = 0;

    // Programmer ports besides the numbered ones that the port list names, one line each (the USB
    // adapters a setting can name); none by default.
    virtual std::vector<std::string> other_ports() { return {}; }
};

}  // namespace quillon

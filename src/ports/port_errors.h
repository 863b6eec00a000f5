#pragma once

#include <string>
#include <string_view>

#include "base/port_provider.h"

namespace quillon {

// How messages name a port: "COM5", followed by " (/dev/ttyUSB0)" where a device of another name
// stands behind the number; the device alone for number 0 (a device chosen by its name).
std::string port_display_name(int number, std::string_view device);

// A PortError with its message for the user. `detail` is, by kind: the settings text
// (BadSettings); the group that owns the device (PermissionDenied; empty when unknown); the
// system's reason (Failed). Messages end without a line break; their inner breaks are CR LF.
PortError make_port_error(PortErrorKind kind, int number, std::string_view device,
                          std::string_view detail = {});

}  // namespace quillon

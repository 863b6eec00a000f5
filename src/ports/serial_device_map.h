#pragma once

#include <string>

#include "base/settings_store.h"
#include "model/settings_catalog.h"

namespace quillon {

// The programmer's port numbers 1 to 16 on systems that name serial devices by path instead of by
// COM number. The table is fixed, so a number means the same device whatever is plugged in:
//
//   COM1  - COM4   /dev/ttyS0   - /dev/ttyS3     built-in serial ports
//   COM5  - COM8   /dev/ttyUSB0 - /dev/ttyUSB3   USB serial adapters (FTDI, CH340, PL2303, CP210x),
//                                                the usual choice for a board on DTR, RTS and DSR
//   COM9  - COM12  /dev/ttyACM0 - /dev/ttyACM3   USB CDC ACM devices
//   COM13 - COM16  /dev/ttyAMA0 - /dev/ttyAMA3   on-board serial ports of ARM boards (Raspberry Pi)
//
// A number's text setting (serial_device_setting_name) overrides its device, for example with a
// /dev/serial/by-id/... path that names one adapter whichever socket it is plugged into. Like every
// setting it is created with the table's device the first time it is read.
std::string default_serial_device(int number);  // empty outside 1 to 16

// The device behind a number: the setting, with the table's device as its default.
std::string serial_device_for(int number, SettingsStore& settings);

}  // namespace quillon

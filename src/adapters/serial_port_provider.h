#pragma once

#include <QSerialPort>
#include <string>

#include "base/port_provider.h"
#include "base/settings_store.h"

namespace quillon {

// The numbered ports on this machine's serial devices: COMn on Windows, elsewhere the device that
// serial_device_for() gives (a fixed table, overridable per number by a setting).
class SerialPortProvider final : public PortProvider {
  public:
    explicit SerialPortProvider(SettingsStore& settings) : settings_(settings) {}

    PortOpenResult open(int number, const std::string& settings) override;
    std::string describe(int number) override;

    // The device name QSerialPort is given for a number.
    std::string device_for(int number);

    // Opens a serial device by its own name, whatever number the table gives it; `number` only
    // names the port in messages (0: by the device alone).
    static PortOpenResult open_device(const std::string& device, const std::string& settings, int number = 0);

  private:
    SettingsStore& settings_;
};

// Which PortErrorKind a failed QSerialPort::open() means. `access_denied`: the user lacks read
// or write permission on the device (QSerialPort reports a device held by another program, or its
// lock file, as a permission error too).
PortErrorKind classify_open_error(QSerialPort::SerialPortError error, bool access_denied);

}  // namespace quillon

#pragma once

#include <QSerialPort>
#include <string>

#include "adapters/ftdi_port_opener.h"
#include "base/port_provider.h"
#include "base/settings_store.h"

namespace quillon {

// The numbered ports on this machine's serial devices: COMn on Windows, elsewhere the device that
// serial_device_for() gives (a fixed table, overridable per number by a setting). A number whose
// setting names "ftdi" or "ftdi:SERIAL" opens that FTDI adapter in bit-bang mode instead.
class SerialPortProvider final : public PortProvider {
  public:
    explicit SerialPortProvider(SettingsStore& settings, FtdiAccess ftdi = {})
        : settings_(settings), ftdi_(std::move(ftdi)) {}

    PortOpenResult open(int number, const std::string& settings) override;
    // An FTDI adapter is probed by looking for it on the bus: opening it would take it from its
    // serial driver.
    bool probe(int number) override;
    std::string describe(int number) override;
    // The FTDI adapters connected, and how a setting names each.
    std::vector<std::string> other_ports() override;

    // The device name QSerialPort is given for a number.
    std::string device_for(int number);

    // Opens a serial device by its own name, whatever number the table gives it; `number` only
    // names the port in messages (0: by the device alone).
    static PortOpenResult open_device(const std::string& device, const std::string& settings, int number = 0);

  private:
    SettingsStore& settings_;
    FtdiAccess ftdi_;
};

// Which PortErrorKind a failed QSerialPort::open() means. `access_denied`: the user lacks read
// or write permission on the device (QSerialPort reports a device held by another program, or its
// lock file, as a permission error too).
PortErrorKind classify_open_error(QSerialPort::SerialPortError error, bool access_denied);

}  // namespace quillon

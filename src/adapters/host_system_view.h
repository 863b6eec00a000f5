#pragma once

#include <string>
#include <vector>

#include "tools/doctor/system_view.h"

namespace quillon {

// This machine: /dev, /dev/serial/by-id, /sys/class/tty, the group database, lock files and the
// open files of the user's own processes under /proc. Elsewhere than Linux it describes no
// devices, and the doctor only opens the port.
class HostSystemView final : public SystemView {
  public:
    bool describes_devices() const override;
    std::vector<std::string> serial_devices() override;
    DeviceFacts device(const std::string& path) override;
    TtyFacts tty(const std::string& name) override;
    std::string user_name() override;
    bool session_has_group(const std::string& group) override;
    bool user_listed_in_group(const std::string& group) override;
    std::vector<DeviceHolder> holders(const std::string& real_path) override;
    // From sysfs (QUILLON_USB_SYSFS in tests), and whether libftdi was built in.
    std::vector<UsbAdapterFacts> ftdi_adapters() override;
    bool ftdi_built_in() const override;
};

}  // namespace quillon

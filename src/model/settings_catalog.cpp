#include "model/settings_catalog.h"

namespace quillon {

std::string serial_device_setting_name(int number) {
    return "Serial Port Device " + std::to_string(number);
}

}  // namespace quillon

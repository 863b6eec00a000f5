#include "ports/serial_device_map.h"

#include <array>

namespace quillon {

std::string default_serial_device(int number) {
    static constexpr std::array<const char*, 4> kFamilies = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM",
                                                             "/dev/ttyAMA"};
    if (number < 1 || number > 16) return {};
    const int index = number - 1;
    return kFamilies[static_cast<std::size_t>(index / 4)] + std::to_string(index % 4);
}

std::string serial_device_for(int number, SettingsStore& settings) {
    if (number < 1 || number > 16) return {};
    return settings.get_text_setting(serial_device_setting_name(number), default_serial_device(number));
}

}  // namespace quillon

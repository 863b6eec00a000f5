#include "backends/sim/sim_text.h"

#include <cstdio>

namespace quillon {

std::string duration_text(std::chrono::nanoseconds duration) {
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    if (micros < 1000) return std::to_string(micros) + " us";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms", static_cast<double>(micros) / 1000.0);
    return text;
}

std::string command_text(int command) {
    std::string text;
    for (int bit = 3; bit >= 0; --bit)
        text += ((command >> bit) & 1) != 0 ? '1' : '0';
    return text;
}

std::string config_name(int index) {
    return "CONFIG" + std::to_string(index / 2 + 1) + (index % 2 == 0 ? "L" : "H");
}

}  // namespace quillon

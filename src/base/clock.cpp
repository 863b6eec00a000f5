#include "base/clock.h"

#include <thread>

namespace quillon {

std::chrono::nanoseconds SystemClock::now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleep_ms(std::int64_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void FakeClock::sleep_ms(std::int64_t milliseconds) {
    if (milliseconds > 0) now_ += std::chrono::milliseconds(milliseconds);
}

}  // namespace quillon

#include "base/clock.h"

#include <algorithm>
#include <thread>

namespace quillon {

void Clock::wait_until(std::chrono::nanoseconds deadline) {
    for (auto left = deadline - now(); left.count() > 0; left = deadline - now()) {
        const auto whole_ms = std::chrono::ceil<std::chrono::milliseconds>(left);
        sleep_ms(std::max<std::int64_t>(1, whole_ms.count()));
    }
}

std::chrono::nanoseconds SystemClock::now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleep_ms(std::int64_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SystemClock::wait_until(std::chrono::nanoseconds deadline) {
    // A sleep wakes up late by up to a timer slack (tens of microseconds on Linux), which only makes
    // a hold longer; it stops short of the deadline, and the clock is watched for the last stretch.
    constexpr auto kSpin = std::chrono::microseconds(200);
    const auto left = deadline - now();
    if (left > 2 * kSpin) std::this_thread::sleep_for(left - kSpin);
    while (now() < deadline) {
    }
}

void FakeClock::sleep_ms(std::int64_t milliseconds) {
    if (milliseconds > 0) now_ += std::chrono::milliseconds(milliseconds);
}

}  // namespace quillon

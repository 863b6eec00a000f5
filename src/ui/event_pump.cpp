#include "ui/event_pump.h"

#include <QCoreApplication>
#include <algorithm>

#include "base/clock.h"

namespace quillon {

namespace {

// Requests between two looks at the clock never exceed this, so that a port that suddenly slows
// down is noticed within a bounded number of line changes. Only a port that changes a line in
// about 100 ns or less (the simulated board) comes near it; a serial port stays at a few.
constexpr std::int64_t kMaxRequestsPerLook = 8192;

}  // namespace

void EventPump::run_now() {
    forced_ = false;
    ran_ = true;
    last_run_ = clock_.now();
    ++runs_;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool EventPump::due() {
    if (forced_) return true;
    const std::chrono::nanoseconds now = clock_.now();
    // Aim at a look every sixteenth to quarter of the interval: more requests between looks while
    // they come fast, far fewer as soon as they slow down.
    const std::chrono::nanoseconds since_look = now - last_look_;
    const std::chrono::nanoseconds interval = interval_;
    if (looked_ && since_look < interval / 16) {
        requests_per_look_ = std::min(requests_per_look_ * 2, kMaxRequestsPerLook);
    } else if (since_look > interval / 4) {
        requests_per_look_ = std::max<std::int64_t>(requests_per_look_ / 4, 1);
    }
    looked_ = true;
    last_look_ = now;
    return !ran_ || now - last_run_ >= interval_;
}

void EventPump::paint_now() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quillon

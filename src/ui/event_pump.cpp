#include "ui/event_pump.h"

#include <QCoreApplication>

#include "engine/clock.h"

namespace quillon {

void EventPump::run_now() {
    forced_ = false;
    ran_ = true;
    last_ = clock_.now();
    ++runs_;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventPump::run_if_due() {
    if (forced_ || !ran_ || clock_.now() - last_ >= interval_) run_now();
}

void EventPump::paint_now() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quillon

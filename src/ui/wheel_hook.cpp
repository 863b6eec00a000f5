#include "ui/wheel_hook.h"

#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>

#include "base/settings_store.h"
#include "model/settings_catalog.h"
#include "ui/main_window.h"

namespace quillon {

WheelHook::~WheelHook() {
    unhook();
}

void WheelHook::hook(MainWindow& window, SettingsStore& settings) {
    if (read_setting(settings, kWheelSetting) == 0) return;
    unhook();
    target_ = &window;
    // Wheel events go to the control under the pointer, not to the window, so the interception
    // watches the application's events and keeps those of this window.
    QCoreApplication::instance()->installEventFilter(this);
}

void WheelHook::unhook() {
    if (target_ == nullptr) return;
    target_ = nullptr;
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
}

bool WheelHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || target_ == nullptr) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != target_) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int rotation = wheel->angleDelta().y();
    if (rotation == 0) return false;  // a sideways wheel scrolls nothing here
    const QPoint at = wheel->globalPosition().toPoint();
    target_->MouseWheel(static_cast<std::int32_t>(wheel->buttons().toInt() | wheel->modifiers().toInt()),
                        rotation, at.x(), at.y());
    return true;
}

}  // namespace quillon

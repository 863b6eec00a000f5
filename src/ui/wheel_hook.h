#pragma once

#include <QObject>

namespace quillon {

class MainWindow;
class SettingsStore;

// Intercepts the mouse wheel for the main window while that window is active: every wheel event
// meant for the window or one of its controls becomes one MouseWheel call of the window, and is
// then taken, so that no control scrolls a second time on its own. One interception at a time.
class WheelHook final : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~WheelHook() override;

    // Installs the interception for `window` unless the setting kWheelSetting (stored as 1 when
    // missing) is 0; one that was installed before is removed first.
    void hook(MainWindow& window, SettingsStore& settings);
    void unhook();
    bool hooked() const { return target_ != nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindow* target_ = nullptr;
};

}  // namespace quillon

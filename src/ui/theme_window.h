#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "ui/color_themes.h"

class QLabel;
class QPushButton;

namespace quillon {

class SettingsStore;
struct ThemeState;

// "Change Color Theme": the 46 themes as two columns of entries. A click makes a theme current,
// stores it and previews it on the main window; Select keeps it, Cancel (or closing the window)
// goes back to the theme that was current when the window opened.
class ThemeWindow final : public QDialog {
    Q_OBJECT

  public:
    ThemeWindow(ThemeState& theme, SettingsStore& settings, std::function<void()> repaint_main,
                QWidget* parent = nullptr);

    // A click on the entry of this theme (by its index, 0..45).
    void choose(int index);
    void select();
    void cancel();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    void paint();
    void store_and_apply();

    ThemeState& theme_;
    SettingsStore& settings_;
    std::function<void()> repaint_main_;
    std::string name_on_open_;
    std::array<QLabel*, kThemeCount> opcija_{};
    QPushButton* command1_;
    QPushButton* command2_;
};

}  // namespace quillon

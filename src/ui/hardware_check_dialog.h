#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTimer;

namespace quillon {

class ProgrammerLines;

// "Check Hardware": drives each programmer line by hand and watches DATA IN, to test the board.
// The boxes start unchecked whatever the lines are; the lines keep what the user set when the
// dialog closes. The VDD-VPP box only mirrors the user's clicks, each of which toggles the supply.
// DATA IN is read every 50 ms; its box cannot be changed by a click, which snaps back to the line.
class HardwareCheckDialog final : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTickMs = 50;

    explicit HardwareCheckDialog(ProgrammerLines& lines, QWidget* parent = nullptr);

    // One tick of the timer: DATA IN read into its box.
    void tick();
    const QTimer& timer() const { return *timer1_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void data_in_changed();

    ProgrammerLines& lines_;
    QCheckBox* check2_;
    QCheckBox* check3_;
    QCheckBox* check4_;
    QCheckBox* check5_;
    QPushButton* command1_;
    QTimer* timer1_;
};

}  // namespace quillon

#pragma once

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

namespace quillon {

class SettingsStore;
struct AppState;
struct ThemeState;

// "Select Microcontroller": every model of the device library as a label in two columns, with its
// memory sizes as the tooltip. Clicks only mark a model; Select stores and loads it when it
// differs from the model the dialog opened with, Cancel (also the close box and Esc) goes back to
// that model. The dialog shrinks to the number of models; beyond seventy the list scrolls.
class ModelDialog final : public QDialog {
    Q_OBJECT

  public:
    // Room for this many models before the list scrolls.
    static constexpr int kSlots = 70;

    ModelDialog(AppState& state, const ThemeState& theme, SettingsStore& settings, QWidget* parent = nullptr);

    // A click on model `index` (1-based): it becomes the marked model.
    void click(int index);
    // A click, then Select.
    void double_click(int index);
    void select();
    void cancel();

    // True once Select has loaded another model.
    bool model_changed() const { return changed_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void build_list(int count, int height_twips);
    void highlight();
    int index_of(const QObject* label) const;

    AppState& state_;
    const ThemeState& theme_;
    SettingsStore& settings_;
    int saved_model_ = 0;
    bool changed_ = false;
    bool closing_ = false;

    QScrollArea* area_ = nullptr;
    QWidget* list_ = nullptr;
    std::vector<QLabel*> opcija_;  // opcija_[i - 1] is slot i
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace quillon

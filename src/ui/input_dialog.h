#pragma once

#include <QDialog>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon {

struct AppState;
struct ThemeState;

// The program's input box: a prompt, one text field holding the default text (selected, so typing
// replaces it), "OK" and "Cancel". Cancel, Esc and the window's close button answer empty text.
class InputDialog final : public QDialog {
    Q_OBJECT

  public:
    InputDialog(const AppState& state, const ThemeState& theme, QWidget* parent = nullptr);

    // Shows the prompt modally; returns the field's text on OK and empty text otherwise. An empty
    // title shows the product title.
    std::string ask_text(std::string_view prompt, std::string_view title, std::string_view default_text);

    // The call state and the layout, without showing the window (ask_text does both).
    void prepare(std::string_view prompt, std::string_view title, std::string_view default_text);

    const std::string& answer() const { return answer_; }

  protected:
    void reject() override;

  private:
    void settheme();
    void prepare_display();
    void press_ok();

    const AppState& state_;
    const ThemeState& theme_;
    std::string answer_;

    QLabel* lab_title_;
    QLineEdit* txt_input_;
    QPushButton* command1_;
    QPushButton* command2_;
};

}  // namespace quillon

#pragma once

#include <QDialog>
#include <string>
#include <string_view>

#include "base/host.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace quillon {

struct AppState;
struct ThemeState;

// The program's message box: the message beside a picture of its kind, and one button ("OK") or
// two ("Yes", "No" for a question; Enter presses "Yes", or "No" where Yes cannot be undone). Y or Z
// press the first button and N the second, whatever has the focus; a click on the text copies it to the
// clipboard. The window sizes itself to the text.
class MessageDialog final : public QDialog {
    Q_OBJECT

  public:
    MessageDialog(const AppState& state, const ThemeState& theme, QWidget* parent = nullptr);

    // Shows the message modally and returns the answer of its button. An empty title shows the
    // product title.
    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title);

    // The call state and the layout, without showing the window (show_message does both).
    void prepare(std::string_view text, MessageKind kind, std::string_view title);

    // The answer of the button that closed the window.
    MessageAnswer answer() const { return answer_; }
    // The message as shown and as copied to the clipboard (CR LF line ends).
    const std::string& prepared_text() const { return prepared_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    void settheme();
    void prepare_display(bool has_line_breaks);
    void press_first();
    void press_second();
    void copy_to_clipboard();

    const AppState& state_;
    const ThemeState& theme_;
    MessageKind kind_ = MessageKind::Ok;
    MessageAnswer answer_{};  // none (0) until a button closes the window
    std::string prepared_;

    QLabel* img_ok_;
    QLabel* img_ask_;
    QLabel* img_err_;
    QLabel* img_info_;
    QLabel* lab_title_;
    QTextEdit* txt_title_;
    QPushButton* command1_;
    QPushButton* command2_;
};

}  // namespace quillon

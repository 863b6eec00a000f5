#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace quillon {

struct AppState;
struct ThemeState;

// Where the main window's messages and prompts go: the real dialogs in the program, preset answers
// in tests.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;
    // kAnswerOk, kAnswerYes or kAnswerNo.
    virtual int show_message(std::string_view text, int kind, std::string_view title) = 0;
    // The typed text, or empty text on Cancel.
    virtual std::string ask_text(std::string_view prompt, std::string_view title,
                                 std::string_view default_text) = 0;
};

// A new MessageDialog or InputDialog for every call, in the current theme.
class WidgetDialogs final : public UserDialogs {
  public:
    WidgetDialogs(const AppState& state, const ThemeState& theme) : state_(state), theme_(theme) {}

    // The window the dialogs belong to (they are modal over it); null for none.
    void set_parent(QWidget* parent) { parent_ = parent; }

    int show_message(std::string_view text, int kind, std::string_view title) override;
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override;

  private:
    const AppState& state_;
    const ThemeState& theme_;
    QWidget* parent_ = nullptr;
};

}  // namespace quillon

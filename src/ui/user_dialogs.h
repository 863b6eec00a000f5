#pragma once

#include <string>
#include <string_view>

#include "base/host.h"

class QWidget;

namespace quillon {

struct AppState;
struct ThemeState;

// What a file dialog is asked for.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string title;
    // Pairs of description and pattern, each part ended by "|" but the last:
    // "Intel HEX files (*.hex)|*.hex|All files (*.*)|*.*".
    std::string filter;
    // Where the dialog starts (a folder, with or without its final separator).
    std::string folder;
};

// Where the main window's messages, prompts and file choices go: the real dialogs in the program,
// preset answers in tests.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;
    virtual MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) = 0;
    // The typed text, or empty text on Cancel.
    virtual std::string ask_text(std::string_view prompt, std::string_view title,
                                 std::string_view default_text) = 0;
    // The chosen path with the system's own separators, or empty text on Cancel.
    virtual std::string choose_file(const FileDialogRequest& request) = 0;
};

// A new MessageDialog, InputDialog or file dialog for every call, in the current theme.
class WidgetDialogs final : public UserDialogs {
  public:
    WidgetDialogs(const AppState& state, const ThemeState& theme) : state_(state), theme_(theme) {}

    // The window the dialogs belong to (they are modal over it); null for none.
    void set_parent(QWidget* parent) { parent_ = parent; }

    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) override;
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override;
    std::string choose_file(const FileDialogRequest& request) override;

  private:
    const AppState& state_;
    const ThemeState& theme_;
    QWidget* parent_ = nullptr;
};

}  // namespace quillon

#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Kinds of the message box, and what its buttons answer.
inline constexpr int kMessageOk = 0;
inline constexpr int kMessageYesNo = 4;
inline constexpr int kMessageError = 16;
inline constexpr int kMessageInfo = 64;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// What an operation needs from whoever runs it: the main window in the program, the terminal in
// quillon-cli, a recorder in tests. Core code never reaches a window any other way.
class Host {
  public:
    virtual ~Host() = default;

    // Caption of the status line.
    virtual void set_status(std::string_view text) = 0;
    // Caption of the loaded-file label.
    virtual void set_loaded_file(std::string_view text) = 0;
    // Modal message box; an empty title shows the product title. Returns kAnswerOk, kAnswerYes or kAnswerNo.
    virtual int show_message(std::string_view text, int kind, std::string_view title) = 0;
    // Modal input box; returns the typed text, or empty text on Cancel.
    virtual std::string ask_text(std::string_view prompt, std::string_view title,
                                 std::string_view default_text) = 0;
    // Let pending window events run once, so the window repaints and stays responsive.
    virtual void yield() = 0;
    // Lock and unlock the menus and the five buttons around a long operation.
    virtual void disable() = 0;
    virtual void enable() = 0;
    // Redraw the tables, model labels and configuration cells from the state.
    virtual void updatedisplay() = 0;
};

}  // namespace quillon

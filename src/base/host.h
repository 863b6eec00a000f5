#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace quillon {

// Kinds of the message box. The values are those the message box has always been called with.
enum class MessageKind : std::uint16_t {
    Ok = 0,     // one "OK" button
    YesNo = 4,  // a question: "Yes" and "No"
    Error = 16,
    Info = 64,
    // A question whose "Yes" cannot be undone: the same box with "No" as its default button, so
    // that Enter leaves things as they are (the second-button-default flag, 256, on kind 4).
    YesNoDefaultNo = 4 + 256,
};

// Whether the box asks Yes or No.
constexpr bool is_question(MessageKind kind) {
    return kind == MessageKind::YesNo || kind == MessageKind::YesNoDefaultNo;
}

// What the message box's buttons answer.
enum class MessageAnswer : std::uint8_t {
    Ok = 1,
    Yes = 6,
    No = 7,
};

// How far a chip operation has come: what it has done and what it does in all, in one unit (the
// engine counts nanoseconds at the pace of the run so far), and the time it has run on the
// operation's clock.
struct RunProgress {
    std::int64_t done = 0;
    std::int64_t total = 0;
    std::chrono::nanoseconds elapsed{0};
};

// What an operation needs from whoever runs it: the main window in the program, the terminal in
// quillon-cli, a recorder in tests. Core code never reaches a window any other way.
class Host {
  public:
    virtual ~Host() = default;

    // Caption of the status line.
    virtual void set_status(std::string_view text) = 0;
    // Caption of the loaded-file label.
    virtual void set_loaded_file(std::string_view text) = 0;
    // Modal message box; an empty title shows the product title.
    virtual MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) = 0;
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
    // True once the user asked the running operation to stop (the window's Stop, a signal to
    // quillon-cli). Asked between two frames; the run then powers the chip down and ends.
    virtual bool stop_requested() { return false; }
    // The operation's progress, given with every FLASH and EEPROM progress caption.
    virtual void show_progress(const RunProgress& /*progress*/) {}

    // Where a chip operation lets events run: after every line change and every progress caption.
    // Calls yield() each time, unless the host asked to hear of only every so many (yield_every):
    // on a fast port a call for every change costs more than the change, and a window that lets
    // events run at most every few milliseconds gains nothing from hearing of each one.
    void yield_point() {
        if (--calls_until_yield_ > 0) return;
        calls_until_yield_ = calls_per_yield_;
        yield();
    }

  protected:
    // For a host that never has events to run.
    static constexpr std::int64_t kNoYields = std::numeric_limits<std::int64_t>::max();

    // From now on yield_point() calls yield() once in `calls` calls (at least 1), starting afresh.
    void yield_every(std::int64_t calls) {
        calls_per_yield_ = calls > 1 ? calls : 1;
        calls_until_yield_ = calls_per_yield_;
    }

  private:
    std::int64_t calls_per_yield_ = 1;
    std::int64_t calls_until_yield_ = 1;
};

}  // namespace quillon

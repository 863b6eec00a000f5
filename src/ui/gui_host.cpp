#include "ui/gui_host.h"

#include "ui/dialog_support.h"
#include "ui/event_pump.h"
#include "ui/main_window.h"
#include "ui/user_dialogs.h"

namespace quillon {

void GuiHost::set_status(std::string_view text) {
    if (window_.busy()) {
        held_status_.assign(text);
        status_held_ = true;
        return;
    }
    status_held_ = false;
    window_.set_status(display_text(text));
}

void GuiHost::show_held_status() {
    if (progress_held_) {
        progress_held_ = false;
        // A run without address loops (erase all) has nothing to count: the bar only shows it runs.
        if (held_progress_.total <= 0)
            window_.set_progress(-1, {});
        else
            window_.set_progress(progress_percent(held_progress_),
                                 QString::fromStdString(progress_text_.text(held_progress_)));
    }
    if (!status_held_) return;
    status_held_ = false;
    window_.set_status(display_text(held_status_));
}

bool GuiHost::stop_requested() {
    return window_.stop_requested();
}

void GuiHost::show_progress(const RunProgress& progress) {
    held_progress_ = progress;
    progress_held_ = true;
}

void GuiHost::set_loaded_file(std::string_view text) {
    show_held_status();
    window_.set_loaded_file(display_text(text));
}

MessageAnswer GuiHost::show_message(std::string_view text, MessageKind kind, std::string_view title) {
    show_held_status();
    window_.hide_progress();
    return dialogs_.show_message(text, kind, title);
}

std::string GuiHost::ask_text(std::string_view prompt, std::string_view title,
                              std::string_view default_text) {
    show_held_status();
    window_.hide_progress();
    return dialogs_.ask_text(prompt, title, default_text);
}

void GuiHost::yield() {
    if (pump_.due()) {
        show_held_status();
        pump_.run_now();
    }
    // Line changes that come faster than the pump needs to hear of them skip the call.
    yield_every(pump_.requests_per_look());
}

void GuiHost::disable() {
    show_held_status();
    window_.disable();
    // The start caption follows at once and must show, however recent the last pump was.
    pump_.force_next();
    yield_every(1);
}

void GuiHost::enable() {
    window_.enable();
    // After the window's own event run: a final caption usually follows at once, and the held
    // progress caption need not be painted on the way.
    show_held_status();
    pump_.force_next();
    yield_every(1);
}

void GuiHost::updatedisplay() {
    show_held_status();
    window_.updatedisplay();
}

}  // namespace quillon

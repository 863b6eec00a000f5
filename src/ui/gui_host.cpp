#include "ui/gui_host.h"

#include "ui/dialog_support.h"
#include "ui/event_pump.h"
#include "ui/main_window.h"
#include "ui/user_dialogs.h"

namespace quillon {

void GuiHost::set_status(std::string_view text) {
    window_.set_status(display_text(text));
}

void GuiHost::set_loaded_file(std::string_view text) {
    window_.set_loaded_file(display_text(text));
}

int GuiHost::show_message(std::string_view text, int kind, std::string_view title) {
    return dialogs_.show_message(text, kind, title);
}

std::string GuiHost::ask_text(std::string_view prompt, std::string_view title,
                              std::string_view default_text) {
    return dialogs_.ask_text(prompt, title, default_text);
}

void GuiHost::yield() {
    pump_.run_if_due();
}

void GuiHost::disable() {
    window_.disable();
    // The start caption follows at once and must show, however recent the last pump was.
    pump_.force_next();
}

void GuiHost::enable() {
    window_.enable();
    pump_.force_next();
}

void GuiHost::updatedisplay() {
    window_.updatedisplay();
}

}  // namespace quillon

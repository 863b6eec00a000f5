#include "ui/user_dialogs.h"

#include <QFileDialog>

#include "ui/file_dialogs.h"
#include "ui/input_dialog.h"
#include "ui/message_dialog.h"

namespace quillon {

MessageAnswer WidgetDialogs::show_message(std::string_view text, MessageKind kind, std::string_view title) {
    MessageDialog dialog(state_, theme_, parent_);
    return dialog.show_message(text, kind, title);
}

std::string WidgetDialogs::ask_text(std::string_view prompt, std::string_view title,
                                    std::string_view default_text) {
    InputDialog dialog(state_, theme_, parent_);
    return dialog.ask_text(prompt, title, default_text);
}

std::string WidgetDialogs::choose_file(const FileDialogRequest& request) {
    QFileDialog dialog(parent_);
    prepare_file_dialog(dialog, request);
    const int result = dialog.exec();
    return chosen_file(dialog, result);
}

}  // namespace quillon

#pragma once

#include <QStringList>
#include <string>
#include <string_view>

#include "ui/user_dialogs.h"

class QFileDialog;
class QWidget;

namespace quillon {

// The filter of the HEX file dialogs.
inline constexpr std::string_view kHexFileFilter = "Intel HEX files (*.hex)|*.hex|All files (*.*)|*.*";

// A "description|pattern|..." filter as Qt's name filters: "Intel HEX files (*.hex)", one per
// pair. A description that does not show its pattern gets it added in brackets; "*.*" becomes
// "*", as Qt would otherwise leave out names without a dot.
QStringList qt_name_filters(std::string_view filter);

// Sets up a file dialog for the request: title, filters, start folder, an empty file name, and
// for saving no question of its own about replacing a file (the program asks that itself) and
// ".hex" added to a name without an extension. Qt's own dialog is used where the platform
// offers none.
void prepare_file_dialog(QFileDialog& dialog, const FileDialogRequest& request);

// The path the dialog was accepted with, with the system's separators; empty when cancelled.
std::string chosen_file(const QFileDialog& dialog, int result);

}  // namespace quillon

#pragma once

#include <QString>
#include <string>
#include <string_view>

class QDialog;
class QLabel;
class QWidget;

namespace quillon {

// Text of the core (UTF-8, CR LF line ends) as Qt shows it (LF line ends).
QString display_text(std::string_view text);

// The window caption of a dialog: `title`, or the product title when it is empty.
QString dialog_caption(std::string_view title, const std::string& product_title);

// A fixed-size dialog with a caption and a close button, without minimise or maximise buttons.
void use_fixed_dialog_frame(QDialog& dialog);

// Height a word-wrapped label needs at its current width (at least one line).
int wrapped_label_height(const QLabel& label);

// Moves a top-level window to the middle of its screen.
void centre_on_screen(QWidget& window);

}  // namespace quillon

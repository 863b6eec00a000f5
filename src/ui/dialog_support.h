#pragma once

#include <QString>
#include <string>
#include <string_view>

class QDialog;
class QLabel;
class QPushButton;
class QRect;
class QWidget;

namespace quillon {

// Text of the core (UTF-8, CR LF line ends) as Qt shows it (LF line ends).
QString display_text(std::string_view text);

// The window caption of a dialog: `title`, or the product title when it is empty.
QString dialog_caption(std::string_view title, const std::string& product_title);

// Makes `dialog` a window of the program's own: its object name and caption, a fixed-size frame
// with a close button but without minimise or maximise buttons, the window font, and a client
// area of the given size in twips.
void set_up_dialog(QDialog& dialog, const QString& name, const QString& caption, int width_twips,
                   int height_twips);

// Height a word-wrapped label needs at its current width (at least one line).
int wrapped_label_height(const QLabel& label);

// A push button with its object name, at its place, in the application's own colours (buttons
// are not themed).
QPushButton* make_button(QWidget* parent, const char* name, const QString& caption, const QRect& where);

// Moves a top-level window to the middle of its screen.
void centre_on_screen(QWidget& window);

}  // namespace quillon

#pragma once

#include <QColor>
#include <cstdint>

class QCheckBox;
class QWidget;

namespace quillon {

QColor theme_color(std::uint32_t rgb);

// Window background of a themed window (its own background only; children keep theirs).
void paint_background(QWidget& widget, std::uint32_t background);

// Background and text of a themed control; its thin border follows the text colour.
void paint_control(QWidget& widget, std::uint32_t background, std::uint32_t text);

// A check box painted like a themed control, whose box the style outlines in a shade of the
// background that barely shows on many themes: the box gets a frame in the text colour, so that an
// unchecked box stands out as much as its caption does.
void paint_check_box(QCheckBox& box, std::uint32_t background, std::uint32_t text);

// Gives a control the application's own colours, so a themed window around it never shows
// through (buttons and scroll bars are not themed).
void keep_native_colors(QWidget& widget);

// White background and black text, as the memory tables and the edit box have in every theme.
void paint_white_field(QWidget& widget);

}  // namespace quillon

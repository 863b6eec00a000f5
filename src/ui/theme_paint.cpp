#include "ui/theme_paint.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace quillon {

QColor theme_color(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (rgb & 0xFFFFFFu)));
}

void paint_background(QWidget& widget, std::uint32_t background) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, theme_color(background));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void paint_control(QWidget& widget, std::uint32_t background, std::uint32_t text) {
    QPalette palette = widget.palette();
    const QColor back = theme_color(background);
    const QColor fore = theme_color(text);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, fore);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void keep_native_colors(QWidget& widget) {
    // Every role set explicitly, so none is inherited from a themed parent.
    QPalette palette = QApplication::palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r == QPalette::NoRole) continue;
            palette.setBrush(g, r, palette.brush(g, r));
        }
    }
    widget.setPalette(palette);
}

void paint_white_field(QWidget& widget) {
    keep_native_colors(widget);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget.setPalette(palette);
}

}  // namespace quillon

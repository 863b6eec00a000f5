#include "ui/theme_paint.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

namespace quillon {

namespace {

// The application's style, with the check box's box framed in the text colour.
class FramedCheckStyle final : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_IndicatorCheckBox) return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(option->palette.color(QPalette::WindowText));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

}  // namespace

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

void paint_check_box(QCheckBox& box, std::uint32_t background, std::uint32_t text) {
    paint_control(box, background, text);
    if (dynamic_cast<FramedCheckStyle*>(box.style()) != nullptr) return;
    auto* style = new FramedCheckStyle;
    // Kept by the box's parent, which deletes its children in order: the box before its style.
    style->setParent(box.parentWidget() != nullptr ? static_cast<QObject*>(box.parentWidget()) : &box);
    box.setStyle(style);
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

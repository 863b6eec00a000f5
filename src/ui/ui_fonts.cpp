#include "ui/ui_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace quillon {

namespace {

QFont sans_font(double point_size) {
    QFont font(QStringLiteral("Microsoft Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(point_size);
    return font;
}

}  // namespace

QFont window_font() {
    return sans_font(8.25);
}

QFont message_font() {
    return sans_font(9.0);
}

QFont table_font() {
    const QString family = QStringLiteral("Lucida Console");
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family)
                                                  : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.75);
    return font;
}

}  // namespace quillon

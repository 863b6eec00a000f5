#include "ui/dialog_support.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace quillon {

QString display_text(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString dialog_caption(std::string_view title, const std::string& product_title) {
    return display_text(title.empty() ? std::string_view(product_title) : title);
}

void use_fixed_dialog_frame(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setSizeGripEnabled(false);
}

int wrapped_label_height(const QLabel& label) {
    const int line = label.fontMetrics().height();
    const int height = label.text().isEmpty() ? line : label.heightForWidth(label.width());
    return std::max(height, line);
}

void centre_on_screen(QWidget& window) {
    QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    window.move(available.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace quillon

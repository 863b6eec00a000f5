#include "ui/dialog_support.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "ui/theme_paint.h"
#include "ui/twips.h"
#include "ui/ui_fonts.h"

namespace quillon {

QString display_text(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString dialog_caption(std::string_view title, const std::string& product_title) {
    return display_text(title.empty() ? std::string_view(product_title) : title);
}

void set_up_dialog(QDialog& dialog, const QString& name, const QString& caption, int width_twips,
                   int height_twips) {
    dialog.setObjectName(name);
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setSizeGripEnabled(false);
    dialog.setFont(window_font());
    const Twips tw = Twips::for_widget(dialog);
    dialog.setFixedSize(tw.px(width_twips), tw.px(height_twips));
}

int wrapped_label_height(const QLabel& label) {
    const int line = label.fontMetrics().height();
    const int height = label.text().isEmpty() ? line : label.heightForWidth(label.width());
    return std::max(height, line);
}

QPushButton* make_button(QWidget* parent, const char* name, const QString& caption, const QRect& where) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(where);
    keep_native_colors(*button);
    return button;
}

void centre_on_screen(QWidget& window) {
    QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    window.move(available.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace quillon

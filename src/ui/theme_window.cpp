#include "ui/theme_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "base/settings_store.h"
#include "ui/dialog_support.h"
#include "ui/theme_paint.h"
#include "ui/theme_state.h"
#include "ui/twips.h"

namespace quillon {

ThemeWindow::ThemeWindow(ThemeState& theme, SettingsStore& settings, std::function<void()> repaint_main,
                         QWidget* parent)
    : QDialog(parent), theme_(theme), settings_(settings), repaint_main_(std::move(repaint_main)) {
    set_up_dialog(*this, QStringLiteral("ThemeWindow"), QStringLiteral("Change Color Theme"), 4575, 7515);
    const Twips tw = Twips::for_widget(*this);

    const auto themes = builtin_themes();
    for (int i = 0; i < kThemeCount; ++i) {
        const int row = i / 2;
        auto* entry = new QLabel(
            QString::fromUtf8(themes[static_cast<std::size_t>(i)].name.data(),
                              static_cast<qsizetype>(themes[static_cast<std::size_t>(i)].name.size())),
            this);
        entry->setObjectName(QStringLiteral("opcija_%1").arg(i));
        entry->setGeometry(tw.rect(i % 2 == 0 ? 120 : 2340, 120 + 300 * row, 2115, 255));
        entry->setFrameStyle(QFrame::Box | QFrame::Plain);
        entry->setAlignment(Qt::AlignCenter);
        entry->setCursor(Qt::PointingHandCursor);
        entry->installEventFilter(this);
        opcija_[static_cast<std::size_t>(i)] = entry;
    }

    command1_ = make_button(this, "Command1", QStringLiteral("Select"), tw.rect(3420, 7080, 1035, 375));
    command1_->setDefault(true);
    command2_ = make_button(this, "Command2", QStringLiteral("Cancel"), tw.rect(2340, 7080, 1035, 375));
    connect(command1_, &QPushButton::clicked, this, &ThemeWindow::select);
    connect(command2_, &QPushButton::clicked, this, &ThemeWindow::cancel);

    name_on_open_ = theme_.name;
    paint();
    centre_on_screen(*this);
}

void ThemeWindow::paint() {
    paint_background(*this, theme_.role(ThemeRole::Window));
    for (QLabel* entry : opcija_) {
        const bool current = entry->text().toStdString() == theme_.name;
        paint_control(*entry,
                      theme_.role(current ? ThemeRole::HighlightBackground : ThemeRole::FieldBackground),
                      theme_.role(current ? ThemeRole::HighlightText : ThemeRole::FieldText));
    }
}

void ThemeWindow::choose(int index) {
    if (index < 0 || index >= kThemeCount) return;
    theme_.name = opcija_[static_cast<std::size_t>(index)]->text().toStdString();
    write_setting(settings_, kColorThemeSetting, theme_.name);
    load_theme(theme_, settings_);
    paint();
    if (repaint_main_) repaint_main_();
}

void ThemeWindow::store_and_apply() {
    hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    write_setting(settings_, kColorThemeSetting, theme_.name);
    load_theme(theme_, settings_);
    if (repaint_main_) repaint_main_();
    done(QDialog::Accepted);
}

void ThemeWindow::select() {
    store_and_apply();
}

void ThemeWindow::cancel() {
    theme_.name = name_on_open_;
    store_and_apply();
}

void ThemeWindow::reject() {
    cancel();
}

bool ThemeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < kThemeCount; ++i) {
            if (watched == opcija_[static_cast<std::size_t>(i)]) {
                choose(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quillon

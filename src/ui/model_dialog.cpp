#include "ui/model_dialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "base/settings_store.h"
#include "model/app_state.h"
#include "model/select_model.h"
#include "model/settings_catalog.h"
#include "model/stored_model.h"
#include "ui/dialog_support.h"
#include "ui/theme_paint.h"
#include "ui/theme_state.h"
#include "ui/twips.h"

namespace quillon {

namespace {

// The designed dialog, in twips: two columns of labels 240 apart, the buttons below them.
constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 9075;
constexpr int kLabelWidth = 2115;
constexpr int kLabelHeight = 255;
constexpr int kFirstTop = 120;
constexpr int kRowPitch = 240;
constexpr int kLeftColumn = 120;
constexpr int kRightColumn = 2340;
constexpr int kButtonsTop = 8640;
constexpr int kButtonsBelowLastRow = 360;

int slot_top(int index) {
    return kFirstTop + kRowPitch * ((index - 1) / 2);
}

QString model_tooltip(const DeviceModel& model) {
    return QString::fromStdString("FLASH: " + model.flash + ", EEPROM: " + model.eeprom);
}

}  // namespace

ModelDialog::ModelDialog(AppState& state, const ThemeState& theme, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), state_(state), theme_(theme), settings_(settings) {
    set_up_dialog(*this, QStringLiteral("ModelDialog"), QStringLiteral("Select Microcontroller"),
                  kClientWidth, kClientHeight);
    const Twips tw = Twips::for_widget(*this);
    const int count = std::max(state_.model_count, 1);
    const int distance_below_buttons = kClientHeight - kButtonsTop;

    const bool scrolls = count > kSlots;
    const int buttons_top = scrolls ? kButtonsTop : slot_top(count) + kButtonsBelowLastRow;
    // The visible part of the list reaches down to the buttons; a longer list scrolls within it.
    const int list_height = scrolls ? kButtonsTop - (kButtonsBelowLastRow - kLabelHeight) : buttons_top;
    build_list(count, scrolls ? slot_top(count) + kLabelHeight + kFirstTop : list_height);

    command1_ =
        make_button(this, "Command1", QStringLiteral("Select"), tw.rect(2340, buttons_top, 1035, 375));
    command1_->setDefault(true);
    command2_ =
        make_button(this, "Command2", QStringLiteral("Cancel"), tw.rect(1200, buttons_top, 1035, 375));
    connect(command1_, &QPushButton::clicked, this, &ModelDialog::select);
    connect(command2_, &QPushButton::clicked, this, &ModelDialog::cancel);

    // The dialog grows by the scroll bar of a list that scrolls.
    const int scroll_bar = scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    area_->setGeometry(0, 0, tw.px(kClientWidth) + scroll_bar, tw.px(list_height));
    setFixedSize(tw.px(kClientWidth) + scroll_bar, tw.px(buttons_top + distance_below_buttons));

    paint_background(*this, theme_.role(ThemeRole::Window));
    paint_background(*area_->viewport(), theme_.role(ThemeRole::Window));
    paint_background(*list_, theme_.role(ThemeRole::Window));
    highlight();
    saved_model_ = state_.model_number;
    centre_on_screen(*this);
}

void ModelDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A long list opens where the selected model is.
    if (state_.model_number >= 1 && state_.model_number <= state_.model_count)
        area_->ensureWidgetVisible(opcija_[static_cast<std::size_t>(state_.model_number - 1)]);
}

void ModelDialog::build_list(int count, int height_twips) {
    const Twips tw = Twips::for_widget(*this);
    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("model_list"));
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(count > kSlots ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    keep_native_colors(*area_->verticalScrollBar());
    list_ = new QWidget;
    const int slot_count = std::max(count, kSlots);
    list_->resize(tw.px(kClientWidth), tw.px(height_twips));

    for (int i = 1; i <= slot_count; ++i) {
        auto* label = new QLabel(list_);
        label->setObjectName(QStringLiteral("opcija_%1").arg(i));
        label->setGeometry(
            tw.rect(i % 2 == 1 ? kLeftColumn : kRightColumn, slot_top(i), kLabelWidth, kLabelHeight));
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setAlignment(Qt::AlignCenter);
        if (i <= state_.model_count) {
            const DeviceModel& model = state_.catalog.models[static_cast<std::size_t>(i)];
            label->setText(QString::fromStdString(model.name));
            label->setToolTip(model_tooltip(model));
            label->setCursor(Qt::PointingHandCursor);
            label->installEventFilter(this);
        } else {
            label->hide();
        }
        opcija_.push_back(label);
    }
    area_->setWidget(list_);
}

void ModelDialog::highlight() {
    for (int i = 1; i <= state_.model_count; ++i) {
        const bool marked = i == state_.model_number;
        paint_control(*opcija_[static_cast<std::size_t>(i - 1)],
                      theme_.role(marked ? ThemeRole::HighlightBackground : ThemeRole::FieldBackground),
                      theme_.role(marked ? ThemeRole::HighlightText : ThemeRole::FieldText));
    }
}

void ModelDialog::click(int index) {
    if (closing_ || index < 1 || index > state_.model_count) return;
    state_.model_number = index;
    highlight();
}

void ModelDialog::double_click(int index) {
    if (index < 1 || index > state_.model_count) return;
    click(index);
    select();
}

void ModelDialog::select() {
    if (closing_) return;
    closing_ = true;
    // The dialog is gone from the screen before the model loads.
    hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (state_.model_number != saved_model_) {
        write_setting(settings_, kModelSetting, std::to_string(state_.model_number));
        select_model(state_, state_.model_number);
        changed_ = true;
    }
    done(QDialog::Accepted);
}

void ModelDialog::cancel() {
    if (closing_) return;
    closing_ = true;
    state_.model_number = saved_model_;
    done(QDialog::Rejected);
}

void ModelDialog::reject() {
    cancel();
}

int ModelDialog::index_of(const QObject* label) const {
    const auto found = std::find(opcija_.begin(), opcija_.end(), label);
    return found == opcija_.end() ? 0 : static_cast<int>(found - opcija_.begin()) + 1;
}

bool ModelDialog::eventFilter(QObject* watched, QEvent* event) {
    const int index = index_of(watched);
    if (index == 0) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        if (event->type() == QEvent::MouseButtonDblClick)
            double_click(index);
        else if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
            click(index);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quillon

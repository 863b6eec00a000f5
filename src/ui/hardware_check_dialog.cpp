#include "ui/hardware_check_dialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include "engine/script/programmer_lines.h"
#include "ui/dialog_support.h"
#include "ui/theme_paint.h"
#include "ui/twips.h"

namespace quillon {

namespace {

QCheckBox* make_check(QWidget* parent, const char* name, const QString& caption, const QRect& where) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(where);
    return box;
}

}  // namespace

HardwareCheckDialog::HardwareCheckDialog(ProgrammerLines& lines, QWidget* parent)
    : QDialog(parent), lines_(lines) {
    set_up_dialog(*this, QStringLiteral("HardwareCheckDialog"), QStringLiteral("Check Hardware"), 2655, 2115);
    // This window is not themed: it keeps the application's own colours in every theme.
    keep_native_colors(*this);
    const Twips tw = Twips::for_widget(*this);

    command1_ = make_button(this, "Command1", QStringLiteral("Close"), tw.rect(1860, 1740, 735, 315));
    check2_ = make_check(this, "Check2", QStringLiteral("Toggle VDD-VPP line"), tw.rect(60, 60, 2535, 315));
    check3_ = make_check(this, "Check3", QStringLiteral("Enable CLOCK line"), tw.rect(60, 480, 2535, 315));
    check4_ = make_check(this, "Check4", QStringLiteral("Enable DATA OUT line"), tw.rect(60, 900, 2535, 315));
    check5_ =
        make_check(this, "Check5", QStringLiteral("Status of DATA IN line"), tw.rect(60, 1320, 2535, 315));
    setTabOrder(command1_, check2_);
    setTabOrder(check2_, check3_);
    setTabOrder(check3_, check4_);
    setTabOrder(check4_, check5_);

    connect(command1_, &QPushButton::clicked, this, &QDialog::accept);
    connect(check2_, &QCheckBox::clicked, this, [this] { lines_.toggle_vdd_vpp(); });
    connect(check3_, &QCheckBox::clicked, this,
            [this](bool on) { on ? lines_.clock_high() : lines_.clock_low(); });
    connect(check4_, &QCheckBox::clicked, this,
            [this](bool on) { on ? lines_.data_high() : lines_.data_low(); });
    // Only a real change arrives here, so setting the box to what it already shows ends the round.
    connect(check5_, &QCheckBox::toggled, this, &HardwareCheckDialog::data_in_changed);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTickMs);
    connect(timer1_, &QTimer::timeout, this, &HardwareCheckDialog::tick);
    centre_on_screen(*this);
}

void HardwareCheckDialog::tick() {
    check5_->setChecked(lines_.read_data_in() == 1);
}

void HardwareCheckDialog::data_in_changed() {
    check5_->setChecked(lines_.read_data_in() == 1);
    command1_->setFocus(Qt::OtherFocusReason);
}

void HardwareCheckDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    command1_->setFocus(Qt::OtherFocusReason);
    timer1_->start();
}

void HardwareCheckDialog::hideEvent(QHideEvent* event) {
    timer1_->stop();
    QDialog::hideEvent(event);
}

}  // namespace quillon

#include "ui/input_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/app_state.h"
#include "ui/dialog_support.h"
#include "ui/theme_paint.h"
#include "ui/theme_state.h"
#include "ui/twips.h"

namespace quillon {

InputDialog::InputDialog(const AppState& state, const ThemeState& theme, QWidget* parent)
    : QDialog(parent), state_(state), theme_(theme) {
    set_up_dialog(*this, QStringLiteral("InputDialog"), QStringLiteral("My Input Box"), 4695, 1335);
    const Twips tw = Twips::for_widget(*this);

    lab_title_ = new QLabel(this);
    lab_title_->setObjectName(QStringLiteral("lab_title"));
    lab_title_->setGeometry(tw.rect(120, 120, 4455, 315));
    lab_title_->setWordWrap(true);
    lab_title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txt_input_ = new QLineEdit(this);
    txt_input_->setObjectName(QStringLiteral("txt_input"));
    txt_input_->setGeometry(tw.rect(180, 540, 4335, 315));

    command1_ = make_button(this, "Command1", QStringLiteral("OK"), tw.rect(3660, 960, 855, 315));
    command1_->setDefault(true);
    command2_ = make_button(this, "Command2", QStringLiteral("Cancel"), tw.rect(2760, 960, 855, 315));
    connect(command1_, &QPushButton::clicked, this, &InputDialog::press_ok);
    connect(command2_, &QPushButton::clicked, this, &InputDialog::reject);

    settheme();
}

void InputDialog::settheme() {
    paint_background(*this, theme_.role(ThemeRole::LoadedFileBackground));
    paint_control(*lab_title_, theme_.role(ThemeRole::InfoBackground), theme_.role(ThemeRole::InfoText));
    paint_control(*txt_input_, theme_.role(ThemeRole::FieldBackground), theme_.role(ThemeRole::FieldText));
}

void InputDialog::prepare(std::string_view prompt, std::string_view title, std::string_view default_text) {
    answer_ = std::string(default_text);
    lab_title_->setText(display_text(prompt));
    txt_input_->setText(display_text(default_text));
    setWindowTitle(dialog_caption(title, state_.product_title));
    prepare_display();
}

void InputDialog::prepare_display() {
    const Twips tw = Twips::for_widget(*this);
    const double scale = state_.layout_scale;
    const int bottom_margin = height() - command1_->y();

    lab_title_->resize(lab_title_->width(), wrapped_label_height(*lab_title_) + tw.px(60 * scale));
    const int below_prompt = lab_title_->y() + lab_title_->height();
    txt_input_->move(txt_input_->x(), below_prompt + tw.px(105 * scale));
    const int buttons_top = below_prompt + tw.px(525 * scale);
    command1_->move(command1_->x(), buttons_top);
    command2_->move(command2_->x(), buttons_top);
    setFixedSize(width(), buttons_top + bottom_margin);
    centre_on_screen(*this);

    txt_input_->selectAll();
    txt_input_->setFocus();
}

std::string InputDialog::ask_text(std::string_view prompt, std::string_view title,
                                  std::string_view default_text) {
    prepare(prompt, title, default_text);
    exec();
    return answer_;
}

void InputDialog::press_ok() {
    answer_ = txt_input_->text().toStdString();
    accept();
}

void InputDialog::reject() {
    answer_.clear();
    QDialog::reject();
}

}  // namespace quillon

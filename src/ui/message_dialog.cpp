#include "ui/message_dialog.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <memory>

#include "base/host.h"
#include "model/app_state.h"
#include "ui/dialog_support.h"
#include "ui/message_text.h"
#include "ui/theme_paint.h"
#include "ui/theme_state.h"
#include "ui/twips.h"
#include "ui/ui_fonts.h"

namespace quillon {

namespace {

const QString kCopyTip = QStringLiteral("Click to copy to Clipboard...");

QLabel* make_picture(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap, const Twips& tw) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(tw.rect(60, 60, 720, 720));
    // Styles draw these icons at 32 pixels or less by default; take the largest size the icon
    // has and scale it to the picture's size.
    const int side = picture->width();
    QIcon icon = parent->style()->standardIcon(pixmap, nullptr, parent);
    if (icon.isNull())
        icon = parent->style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, parent);
    QSize largest(side, side);
    for (const QSize& size : icon.availableSizes())
        largest = largest.expandedTo(size);
    picture->setPixmap(
        icon.pixmap(largest).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    picture->hide();
    return picture;
}

bool is_answer_key(const QKeyEvent& key) {
    return (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

}  // namespace

MessageDialog::MessageDialog(const AppState& state, const ThemeState& theme, QWidget* parent)
    : QDialog(parent), state_(state), theme_(theme) {
    set_up_dialog(*this, QStringLiteral("MessageDialog"), QStringLiteral("My Msg Box"), 6615, 915);
    const Twips tw = Twips::for_widget(*this);

    img_ok_ = make_picture(this, "img_ok", QStyle::SP_DialogApplyButton, tw);
    img_ask_ = make_picture(this, "img_ask", QStyle::SP_MessageBoxQuestion, tw);
    img_err_ = make_picture(this, "img_err", QStyle::SP_MessageBoxCritical, tw);
    img_info_ = make_picture(this, "img_info", QStyle::SP_MessageBoxInformation, tw);

    lab_title_ = new QLabel(this);
    lab_title_->setObjectName(QStringLiteral("lab_title"));
    lab_title_->setGeometry(tw.rect(900, 120, 5655, 315));
    lab_title_->setFont(message_font());
    lab_title_->setWordWrap(true);
    lab_title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lab_title_->setToolTip(kCopyTip);
    lab_title_->installEventFilter(this);

    txt_title_ = new QTextEdit(this);
    txt_title_->setObjectName(QStringLiteral("txt_title"));
    txt_title_->setReadOnly(true);
    txt_title_->setFont(message_font());
    txt_title_->setFrameShape(QFrame::NoFrame);
    txt_title_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_title_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_title_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txt_title_->document()->setDocumentMargin(0);
    txt_title_->setTextInteractionFlags(Qt::NoTextInteraction);
    txt_title_->setFocusPolicy(Qt::NoFocus);
    txt_title_->viewport()->setCursor(Qt::ArrowCursor);
    txt_title_->setToolTip(kCopyTip);
    txt_title_->installEventFilter(this);
    txt_title_->viewport()->installEventFilter(this);

    command1_ = make_button(this, "Command1", QStringLiteral("OK"), tw.rect(5700, 540, 855, 315));
    command1_->setDefault(true);
    command2_ = make_button(this, "Command2", QStringLiteral("No"), tw.rect(4800, 540, 855, 315));
    command2_->hide();
    connect(command1_, &QPushButton::clicked, this, &MessageDialog::press_first);
    connect(command2_, &QPushButton::clicked, this, &MessageDialog::press_second);
    command1_->installEventFilter(this);
    command2_->installEventFilter(this);
    installEventFilter(this);  // the window sees key presses before its controls

    settheme();
}

void MessageDialog::settheme() {
    paint_background(*this, theme_.role(ThemeRole::Window));
    paint_control(*lab_title_, theme_.role(ThemeRole::InfoBackground), theme_.role(ThemeRole::InfoText));
    paint_control(*txt_title_, theme_.role(ThemeRole::InfoBackground), theme_.role(ThemeRole::InfoText));
    paint_control(*txt_title_->viewport(), theme_.role(ThemeRole::InfoBackground),
                  theme_.role(ThemeRole::InfoText));
}

void MessageDialog::prepare(std::string_view text, MessageKind kind, std::string_view title) {
    kind_ = kind;
    answer_ = MessageAnswer{};
    prepared_ = wrap_message(text);
    setWindowTitle(dialog_caption(title, state_.product_title));
    prepare_display(text.find("\r\n") != std::string_view::npos);
}

void MessageDialog::prepare_display(bool has_line_breaks) {
    const Twips tw = Twips::for_widget(*this);
    const double scale = state_.layout_scale;

    // Margins and the buttons' distances from the right edge, as laid out before sizing.
    const int bottom_margin = height() - command1_->y();
    const int right_margin = width() - command1_->x() - command1_->width();
    const int first_from_right = width() - command1_->x();
    const int second_from_right = width() - command2_->x();

    // The label keeps its width and grows to the wrapped text. The shown text wraps a word that is
    // wider than the label rather than cutting it, so its own height counts too.
    const QString shown = display_text(prepared_);
    lab_title_->setText(shown);
    txt_title_->setPlainText(shown);
    QTextDocument* document = txt_title_->document();
    const std::unique_ptr<QTextDocument> measure(document->clone());
    measure->setDefaultFont(txt_title_->font());
    measure->setDefaultTextOption(document->defaultTextOption());
    measure->setTextWidth(lab_title_->width());
    const int text_height = static_cast<int>(std::ceil(measure->size().height()));
    lab_title_->resize(lab_title_->width(),
                       std::max(wrapped_label_height(*lab_title_), text_height) + tw.px(60 * scale));
    if (!has_line_breaks) {
        lab_title_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QTextCursor all(document);
        all.select(QTextCursor::Document);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
    }
    txt_title_->setGeometry(lab_title_->geometry());

    const int buttons_top = lab_title_->y() + lab_title_->height() + tw.px(105 * scale);
    const int window_height = buttons_top + bottom_margin;
    const int window_width = lab_title_->x() + lab_title_->width() + right_margin;
    command1_->move(window_width - first_from_right, buttons_top);
    command2_->move(window_width - second_from_right, buttons_top);

    img_ok_->setVisible(kind_ == MessageKind::Ok);
    img_err_->setVisible(kind_ == MessageKind::Error);
    img_info_->setVisible(kind_ == MessageKind::Info);
    img_ask_->setVisible(is_question(kind_));
    if (is_question(kind_)) {
        command2_->show();
        command1_->setText(QStringLiteral("Yes"));
        const int first_left = command1_->x();
        command1_->move(command2_->x(), buttons_top);
        command2_->move(first_left, buttons_top);
    }
    setFixedSize(window_width, std::max(window_height, img_ok_->geometry().bottom() + 1 + tw.px(60)));
    centre_on_screen(*this);
    // A question whose Yes cannot be undone has No for Enter and the focus.
    const bool no_first = kind_ == MessageKind::YesNoDefaultNo;
    command1_->setDefault(!no_first);
    command2_->setDefault(no_first);
    (no_first ? command2_ : command1_)->setFocus();
}

MessageAnswer MessageDialog::show_message(std::string_view text, MessageKind kind, std::string_view title) {
    prepare(text, kind, title);
    exec();
    return answer_;
}

void MessageDialog::press_first() {
    answer_ = is_question(kind_) ? MessageAnswer::Yes : MessageAnswer::Ok;
    done(static_cast<int>(answer_));
}

void MessageDialog::press_second() {
    answer_ = MessageAnswer::No;
    done(static_cast<int>(answer_));
}

void MessageDialog::reject() {
    // Esc and the window's close button: "No" where there is one, else "OK".
    if (is_question(kind_)) {
        press_second();
    } else {
        press_first();
    }
}

void MessageDialog::copy_to_clipboard() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(display_text(prepared_));
}

bool MessageDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!is_answer_key(*key)) break;
            if (key->key() == Qt::Key_N) {
                press_second();
                return true;
            }
            if (key->key() == Qt::Key_Y || key->key() == Qt::Key_Z) {
                press_first();
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (watched == lab_title_ || watched == txt_title_->viewport()) {
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) copy_to_clipboard();
                return true;
            }
            break;
        case QEvent::FocusIn:
            if (watched == txt_title_) (command2_->isDefault() ? command2_ : command1_)->setFocus();
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quillon

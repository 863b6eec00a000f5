#include "ui/message_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "base/host.h"
#include "model/app_state.h"
#include "ui/theme_state.h"

namespace quillon {
namespace {

class MessageDialogTest : public ::testing::Test {
  protected:
    // A dialog laid out for the message and shown without a modal loop, as the keys need it.
    std::unique_ptr<MessageDialog> shown(std::string_view text, MessageKind kind,
                                         std::string_view title = "") {
        auto dialog = std::make_unique<MessageDialog>(state, theme);
        dialog->prepare(text, kind, title);
        dialog->show();
        return dialog;
    }
    static QWidget* child(QWidget& dialog, const char* name) {
        return dialog.findChild<QWidget*>(QString::fromLatin1(name));
    }
    // The answer after a key goes to whatever has the focus (the first button).
    MessageAnswer answer_to_key(MessageKind kind, Qt::Key key) {
        auto dialog = shown("Overwrite the file?", kind);
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : dialog.get(),
                        key);
        EXPECT_FALSE(dialog->isVisible());
        return dialog->answer();
    }

    AppState state;
    ThemeState theme;
};

// Enter answers with the default button: Yes, or No for a question whose Yes cannot be undone.
TEST_F(MessageDialogTest, YesNoBoxAnswersByKey) {
    for (const MessageKind kind : {MessageKind::YesNo, MessageKind::YesNoDefaultNo}) {
        const bool safe = kind == MessageKind::YesNoDefaultNo;
        EXPECT_EQ(answer_to_key(kind, Qt::Key_N), MessageAnswer::No);
        EXPECT_EQ(answer_to_key(kind, Qt::Key_Y), MessageAnswer::Yes);
        EXPECT_EQ(answer_to_key(kind, Qt::Key_Z), MessageAnswer::Yes);
        EXPECT_EQ(answer_to_key(kind, Qt::Key_Return), safe ? MessageAnswer::No : MessageAnswer::Yes);
        EXPECT_EQ(answer_to_key(kind, Qt::Key_Escape), MessageAnswer::No);
    }
}

TEST_F(MessageDialogTest, SingleButtonBoxesCloseOnEveryAnswerKey) {
    EXPECT_EQ(answer_to_key(MessageKind::Error, Qt::Key_N), MessageAnswer::No);  // callers ignore it
    EXPECT_EQ(answer_to_key(MessageKind::Error, Qt::Key_Y), MessageAnswer::Ok);
    EXPECT_EQ(answer_to_key(MessageKind::Ok, Qt::Key_Return), MessageAnswer::Ok);
    EXPECT_EQ(answer_to_key(MessageKind::Info, Qt::Key_Escape), MessageAnswer::Ok);
}

TEST_F(MessageDialogTest, KeysWorkWhateverControlHasTheFocusButNotWithControl) {
    auto dialog = shown("Question", MessageKind::YesNo);
    auto* no = static_cast<QPushButton*>(child(*dialog, "Command2"));
    no->setFocus();
    QTest::keyClick(no, Qt::Key_Y, Qt::ShiftModifier);
    EXPECT_EQ(dialog->answer(), MessageAnswer::Yes);

    auto second = shown("Question", MessageKind::YesNo);
    QTest::keyClick(child(*second, "Command1"), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->answer(), MessageAnswer{});  // no button pressed
}

TEST_F(MessageDialogTest, TheCloseButtonMeansNoForQuestionsAndOkOtherwise) {
    auto question = shown("Question", MessageKind::YesNo);
    question->close();
    EXPECT_EQ(question->answer(), MessageAnswer::No);
    auto notice = shown("Notice", MessageKind::Ok);
    notice->close();
    EXPECT_EQ(notice->answer(), MessageAnswer::Ok);
}

TEST_F(MessageDialogTest, PicturesAndButtonsFollowTheKind) {
    const struct {
        MessageKind kind;
        const char* picture;
    } kinds[] = {{MessageKind::Ok, "img_ok"},
                 {MessageKind::YesNo, "img_ask"},
                 {MessageKind::YesNoDefaultNo, "img_ask"},
                 {MessageKind::Error, "img_err"},
                 {MessageKind::Info, "img_info"},
                 {static_cast<MessageKind>(5), nullptr}};  // no kind the program uses
    for (const auto& k : kinds) {
        auto dialog = shown("Text", k.kind);
        for (const char* name : {"img_ok", "img_ask", "img_err", "img_info"}) {
            auto* picture = static_cast<QLabel*>(child(*dialog, name));
            EXPECT_EQ(picture->isVisible(), k.picture != nullptr && std::string(name) == k.picture)
                << static_cast<int>(k.kind) << name;
            EXPECT_EQ(picture->width(), 48);
        }
        auto* first = static_cast<QPushButton*>(child(*dialog, "Command1"));
        auto* second = static_cast<QPushButton*>(child(*dialog, "Command2"));
        if (is_question(k.kind)) {
            EXPECT_EQ(first->text(), "Yes");
            EXPECT_EQ(second->isDefault(), k.kind == MessageKind::YesNoDefaultNo);
            EXPECT_NE(first->isDefault(), second->isDefault());
            EXPECT_TRUE(second->isVisible());
            EXPECT_LT(first->x(), second->x());  // Yes on the left, No at the right edge
            EXPECT_EQ(second->geometry().right(), dialog->width() - 5);
        } else {
            EXPECT_EQ(first->text(), "OK");
            EXPECT_FALSE(second->isVisible());
            EXPECT_EQ(first->geometry().right(), dialog->width() - 5);
        }
    }
}

TEST_F(MessageDialogTest, TheWindowGrowsWithTheTextAndKeepsItsWidth) {
    auto empty = shown("", MessageKind::Ok);
    auto one_line = shown("Chip erased.", MessageKind::Ok);
    std::string many;
    for (int i = 0; i < 12; ++i)
        many += "Memory Location,   Read Value,   Expected,\r\n";
    auto report = shown(many, MessageKind::Error);

    EXPECT_EQ(empty->width(), one_line->width());
    EXPECT_EQ(report->width(), one_line->width());
    EXPECT_GT(report->height(), one_line->height() + 100);
    for (MessageDialog* dialog : {empty.get(), one_line.get(), report.get()}) {
        QWidget* text = child(*dialog, "txt_title");
        QWidget* button = child(*dialog, "Command1");
        EXPECT_EQ(button->y(), text->geometry().bottom() + 1 + 7);  // 105 twips below the text
        EXPECT_EQ(dialog->height(), button->y() + 25);              // the bottom margin stays
        EXPECT_GE(text->height(), text->fontMetrics().height());
        // The whole text fits: the field never needs to scroll.
        auto* field = static_cast<QTextEdit*>(text);
        EXPECT_LE(field->document()->size().height(), field->viewport()->height());
    }
}

TEST_F(MessageDialogTest, ASingleLineIsCentredAndAnEmptyTitleShowsTheProductTitle) {
    auto single = shown("Chip erased.", MessageKind::Ok);
    EXPECT_EQ(single->windowTitle(), "Ardentix Quillon");
    EXPECT_TRUE(static_cast<QLabel*>(child(*single, "lab_title"))->alignment() & Qt::AlignHCenter);
    auto lines = shown("First\r\nSecond", MessageKind::Ok, "Pinout");
    EXPECT_EQ(lines->windowTitle(), "Pinout");
    EXPECT_FALSE(static_cast<QLabel*>(child(*lines, "lab_title"))->alignment() & Qt::AlignHCenter);
}

TEST_F(MessageDialogTest, ClickingTheTextCopiesTheWrappedMessage) {
    const std::string path =
        "C:\\Projects\\Firmware\\Releases\\2024\\Board-Revision-C\\final_image_with_long_name.hex";
    auto dialog = shown("Cannot open " + path + "\r\n", MessageKind::Error);
    QApplication::clipboard()->setText(QStringLiteral("old"));
    auto* text = static_cast<QTextEdit*>(child(*dialog, "txt_title"));
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Cannot open "
              "C:\\Projects\\Firmware\\Releases\\2024\\Board-Revision-C\\\nfinal_image_with_long_name.hex");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->prepared_text(),
              "Cannot open C:\\Projects\\Firmware\\Releases\\2024\\Board-Revision-C\\\r\n"
              "final_image_with_long_name.hex");
}

TEST_F(MessageDialogTest, TheTextNeverKeepsTheFocus) {
    auto dialog = shown("Text", MessageKind::Ok);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    child(*dialog, "txt_title")->setFocus();
    EXPECT_EQ(dialog->focusWidget(), child(*dialog, "Command1"));
}

TEST_F(MessageDialogTest, ShowMessageWaitsForTheAnswer) {
    MessageDialog dialog(state, theme);
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_N); });
    EXPECT_EQ(dialog.show_message("Overwrite?", MessageKind::YesNo, "Save"), MessageAnswer::No);
    EXPECT_EQ(dialog.windowTitle(), "Save");
}

TEST_F(MessageDialogTest, PaintsWithTheCurrentTheme) {
    apply_theme_name(theme, "Halloween");
    auto dialog = shown("Text", MessageKind::Ok);
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(0x25, 0x25, 0x25));
    QWidget* text = child(*dialog, "txt_title");
    EXPECT_EQ(text->palette().color(QPalette::Base), QColor(0xD1, 0x82, 0x00));
    EXPECT_EQ(text->palette().color(QPalette::Text), QColor(0xFC, 0xF7, 0xEE));
}

}  // namespace
}  // namespace quillon

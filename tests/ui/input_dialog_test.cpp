#include "ui/input_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "model/app_state.h"
#include "ui/theme_state.h"

namespace quillon {
namespace {

class InputDialogTest : public ::testing::Test {
  protected:
    // Runs ask_text with `act` done to the open dialog.
    std::string ask(const std::string& default_text, std::function<void(InputDialog&)> act,
                    const std::string& prompt = "Serial port number (1 to 16):") {
        InputDialog dialog(state, theme);
        QTimer::singleShot(0, &dialog, [&dialog, act] { act(dialog); });
        return dialog.ask_text(prompt, "", default_text);
    }
    static QLineEdit* field(QWidget& dialog) {
        return dialog.findChild<QLineEdit*>(QStringLiteral("txt_input"));
    }
    static QPushButton* button(QWidget& dialog, const char* name) {
        return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    AppState state;
    ThemeState theme;
};

TEST_F(InputDialogTest, OkReturnsTheFieldAndTypingReplacesTheSelectedDefault) {
    EXPECT_EQ(ask("5", [](InputDialog& d) { QTest::mouseClick(button(d, "Command1"), Qt::LeftButton); }),
              "5");
    EXPECT_EQ(ask("5",
                  [](InputDialog& d) {
                      QTest::keyClicks(field(d), "12");
                      QTest::keyClick(field(d), Qt::Key_Return);
                  }),
              "12");
}

TEST_F(InputDialogTest, CancelEscAndClosingReturnEmptyText) {
    EXPECT_EQ(ask("5",
                  [](InputDialog& d) {
                      QTest::keyClicks(field(d), "7");
                      QTest::mouseClick(button(d, "Command2"), Qt::LeftButton);
                  }),
              "");
    EXPECT_EQ(ask("5", [](InputDialog& d) { QTest::keyClick(field(d), Qt::Key_Escape); }), "");
    EXPECT_EQ(ask("5", [](InputDialog& d) { d.close(); }), "");
}

TEST_F(InputDialogTest, ALongPromptPushesTheFieldAndButtonsDown) {
    InputDialog short_box(state, theme);
    short_box.prepare("Port:", "Port", "2");
    InputDialog long_box(state, theme);
    long_box.prepare(
        "A prompt that is long enough to need several lines in the box, because it explains in "
        "detail what the number means and which values are accepted.\r\nSecond line.",
        "", "2");
    EXPECT_EQ(long_box.width(), short_box.width());
    EXPECT_GT(long_box.height(), short_box.height() + 20);
    for (InputDialog* dialog : {&short_box, &long_box}) {
        QLabel* prompt = dialog->findChild<QLabel*>(QStringLiteral("lab_title"));
        EXPECT_EQ(field(*dialog)->y(), prompt->geometry().bottom() + 1 + 7);
        EXPECT_EQ(button(*dialog, "Command1")->y(), prompt->geometry().bottom() + 1 + 35);
        EXPECT_EQ(dialog->height(), button(*dialog, "Command1")->y() + 25);
        EXPECT_EQ(field(*dialog)->selectedText(), "2");
    }
    EXPECT_EQ(short_box.windowTitle(), "Port");
    EXPECT_EQ(long_box.windowTitle(), "Ardentix Quillon");
}

}  // namespace
}  // namespace quillon

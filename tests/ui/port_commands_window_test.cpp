// The port number and programming time commands of the main window, answered through the input box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "ui/input_dialog.h"
#include "ui/message_dialog.h"
#include "ui/user_dialogs.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class PortCommandsTest : public ::testing::Test, public WindowFixture {
  protected:
    PortCommandsTest() { provider.openable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}; }
    void SetUp() override {
        settings.set_number_setting("Serial Port Number", 9);
        load();
    }
    void answer_port(const std::string& answer) {
        dialogs.texts.push_back(answer);
        find<QAction>(QStringLiteral("menuport"))->trigger();
    }
    void answer_time(const std::string& answer) {
        dialogs.texts.push_back(answer);
        find<QAction>(QStringLiteral("menuprogtime"))->trigger();
    }
};

TEST_F(PortCommandsTest, PortAnswersWithOrWithoutComSelectThePort) {
    const std::vector<std::pair<std::string, int>> answers = {
        {"COM5", 5}, {"com5", 5}, {"5", 5}, {"2.5", 2}, {"3.5", 4}};
    for (const auto& [answer, expected] : answers) {
        answer_port(answer);
        EXPECT_EQ(state.port_number, expected) << answer;
        EXPECT_EQ(settings.stored("Serial Port Number").number, expected) << answer;
        EXPECT_TRUE(provider.is_open(expected)) << answer;
        EXPECT_EQ(text_of("label_status").toStdString(),
                  "Serial port COM" + std::to_string(expected) + " ready...");
    }
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_FALSE(dialogs.prompts.empty());
    EXPECT_TRUE(dialogs.prompts[0].starts_with(
        "Please select programmer serial port number [1-16]:\r\n\r\nThe list of COM ports that can be "
        "opened:\r\n- Serial port COM1 available\r\n"));
}

TEST_F(PortCommandsTest, WrongPortAnswersChangeNothing) {
    for (const char* answer : {"17", "0", "x", "com"}) {
        dialogs.messages.clear();
        answer_port(answer);
        ASSERT_EQ(dialogs.messages.size(), 1u) << answer;
        EXPECT_EQ(dialogs.messages[0].text, "Wrong entry!");
        EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(state.port_number, 9) << answer;
        EXPECT_TRUE(provider.is_open(9)) << answer;
        EXPECT_EQ(settings.stored("Serial Port Number").number, 9);
    }
    answer_port("");  // Cancel
    EXPECT_EQ(state.port_number, 9);
    EXPECT_TRUE(state.port_open);
}

TEST_F(PortCommandsTest, ProgrammingTimeAnswersWithinOneToThirtyMilliseconds) {
    EXPECT_EQ(state.prog_time_ms, 2);
    const std::vector<std::pair<std::string, int>> answers = {
        {"1", 1}, {"30", 30}, {"0.5", 30}, {"31", 30}, {"29.5", 30}, {"7", 7}, {"", 7}};
    for (const auto& [answer, expected] : answers) {
        answer_time(answer);
        EXPECT_EQ(state.prog_time_ms, expected) << answer;
    }
    ASSERT_EQ(dialogs.messages.size(), 2u);  // 0.5 and 31
    EXPECT_EQ(dialogs.messages[1].text, "Wrong entry!");
    EXPECT_EQ(dialogs.prompts[0], "Enter new programming time in ms [1-30].");
    EXPECT_FALSE(settings.contains("Programming Time"));
}

// The commands on the program's own boxes: the prompt in the input box, the refusal in the message
// box.
TEST(PortCommandsOnRealBoxes, TheAnswerIsTypedIntoTheInputBox) {
    AppState state;
    ThemeState theme;
    MemorySettingsStore settings;
    FakeClock clock;
    FakePortProvider provider;
    provider.openable = {3, 5};
    parse_device_text(state.catalog, kTestDevices);
    state.model_count = state.catalog.model_count();
    WidgetDialogs dialogs(state, theme);
    MainWindow window(MainWindowServices{state, theme, settings, dialogs, clock, {}});
    dialogs.set_parent(&window);
    PortManager ports(state, settings, window.host(), provider);
    window.set_port_manager(&ports);
    settings.set_number_setting("Serial Port Number", 3);
    window.load();

    QTimer::singleShot(0, &window, [] {
        auto* box = qobject_cast<InputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* field = box->findChild<QLineEdit*>(QStringLiteral("txt_input"));
        EXPECT_EQ(field->text(), "3");
        QTest::keyClicks(field, "com5");
        QTest::keyClick(field, Qt::Key_Return);
    });
    window.menuport();
    EXPECT_EQ(state.port_number, 5);
    EXPECT_TRUE(provider.is_open(5));

    std::string refusal;
    QTimer::singleShot(0, &window, [&refusal] {
        auto* box = qobject_cast<InputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        // The refusal follows once the input box has closed.
        QTimer::singleShot(0, [&refusal] {
            auto* message = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(message, nullptr);
            refusal = message->prepared_text();
            message->accept();
        });
        auto* field = box->findChild<QLineEdit*>(QStringLiteral("txt_input"));
        QTest::keyClicks(field, "31");
        QTest::keyClick(field, Qt::Key_Return);
    });
    window.menuprogtime();
    EXPECT_EQ(refusal, "Wrong entry!");
    EXPECT_EQ(state.prog_time_ms, 2);
}

}  // namespace
}  // namespace quillon

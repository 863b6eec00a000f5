// The simulated programmer board as the window's programmer port, on the supplied device library.
#include "ui/simulated_programmer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "backends/sim/sim_board.h"
#include "ui/model_dialog.h"
#include "ui/supplied_library.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A window on the supplied library with the simulated board, its chips kept in `folder`.
struct SimulatedWindow : WindowFixture {
    explicit SimulatedWindow(const std::string& folder, bool switched_on = true)
        : WindowFixture(supplied_device_library()) {
        if (switched_on) settings.set_number_setting("Simulated Programmer", 1);
        use_simulator(folder);
    }

    void press(const char* button) { find<QPushButton>(QString::fromLatin1(button))->click(); }
    std::string status() const { return text_of("label_status").toStdString(); }
    QAction* sim_item() const { return find<QAction>(QStringLiteral("menusim")); }

    // A program image: the first 4 KB of FLASH and the whole EEPROM hold a pattern.
    void fill_image() {
        for (std::size_t i = 0; i < 4096; ++i)
            state.image.flash[i] = static_cast<std::uint8_t>(i * 7 + 3);
        for (std::size_t i = 0; i < state.image.eeprom.size(); ++i)
            state.image.eeprom[i] = static_cast<std::uint8_t>(255 - i);
        window->updatedisplay();
    }
};

class SimulatedProgrammerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (supplied_device_library().empty()) GTEST_SKIP() << "the supplied device library is not there";
    }
    std::string chip_file(const char* model) const { return folder.file(std::string(model) + ".hex"); }

    TempDir folder;
};

TEST_F(SimulatedProgrammerTest, TheButtonsProgramVerifyReadEraseAndBlankCheckTheSimulatedChip) {
    SimulatedWindow w(folder.path());
    w.load();
    EXPECT_TRUE(w.sim_item()->isChecked());
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) ready...");
    EXPECT_EQ(w.state.port_label, "Simulated board (PIC18F452)");
    ASSERT_TRUE(w.state.port_open);
    EXPECT_EQ(w.state.port_number, 3);  // still the serial port's number for the port command

    w.fill_image();
    const MemoryImage image = w.state.image;
    w.press("Command1");
    EXPECT_TRUE(w.status().starts_with("Chip programmed. ")) << w.status();
    ASSERT_NE(w.simulator->chip(), nullptr);
    const ChipMemory& chip = w.simulator->chip()->memory();
    EXPECT_TRUE(std::equal(chip.flash.begin(), chip.flash.end(), image.flash.begin()));
    EXPECT_TRUE(std::equal(chip.eeprom.begin(), chip.eeprom.end(), image.eeprom.begin()));
    EXPECT_TRUE(fs::exists(chip_file("PIC18F452")));  // kept after every operation

    w.press("Command5");
    EXPECT_TRUE(w.status().starts_with("Chip verified. ")) << w.status();
    w.find<QAction>(QStringLiteral("menuclear"))->trigger();
    w.press("Command2");
    EXPECT_TRUE(w.status().starts_with("Chip read. ")) << w.status();
    EXPECT_EQ(w.state.image.flash, image.flash);
    EXPECT_EQ(w.state.image.eeprom, image.eeprom);

    w.press("Command3");
    EXPECT_TRUE(w.status().starts_with("Chip erased. ")) << w.status();
    w.press("Command4");
    EXPECT_TRUE(w.status().starts_with("Chip is blank. ")) << w.status();
    EXPECT_TRUE(w.dialogs.messages.empty());
}

// Esc (the Stop button's key) in the middle of Program All, then the close button in the middle of
// another: each run stops at the end of a frame with the supply switched off.
TEST_F(SimulatedProgrammerTest, StopAndTheCloseButtonEndARunWithTheChipPoweredDown) {
    SimulatedWindow w(folder.path());
    w.load();
    w.fill_image();
    auto* stop = w.find<QPushButton>(QStringLiteral("Command6"));
    auto* bar = w.find<QProgressBar>(QStringLiteral("progress_run"));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(bar->isVisible());
    const auto board_powered = [&w] { return dynamic_cast<SimBoard&>(*w.ports->port()).supply_on(); };

    const auto run_until_midway = [&w](const std::function<void()>& act) {
        bool acted = false;
        QTimer midway;
        midway.setInterval(0);
        QObject::connect(&midway, &QTimer::timeout, [&] {
            if (acted || w.state.run_address < 2000) return;
            acted = true;
            act();
        });
        midway.start();
        w.press("Command1");
        return acted;
    };
    bool was_powered = false;
    ASSERT_TRUE(run_until_midway([&] {
        was_powered = board_powered();
        EXPECT_TRUE(stop->isEnabled());
        EXPECT_TRUE(bar->isVisible());
        EXPECT_GT(bar->value(), 10);
        EXPECT_TRUE(bar->format().startsWith(QString::number(bar->value()) + "%"))
            << bar->format().toStdString();
        EXPECT_FALSE(w.find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
        QTest::keyClick(w.window.get(), Qt::Key_Escape);
    }));
    EXPECT_TRUE(was_powered);
    EXPECT_FALSE(board_powered());
    EXPECT_TRUE(w.status().starts_with("Program all stopped at FLASH address ")) << w.status();
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(w.find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
    EXPECT_TRUE(w.dialogs.messages.empty());

    // The close button stops the run at once and the question waits for the chip to be powered
    // down: No keeps the window, Yes closes it. The close comes in the run's own FLASH loop, past
    // the chip's ID read.
    bool powered_at_question = true;
    std::string status_at_question;
    w.dialogs.on_message = [&] {
        powered_at_question = board_powered();
        status_at_question = w.status();
    };
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        w.dialogs.messages.clear();
        w.dialogs.answers.push_back(answer);
        w.state.run_address = 0;
        ASSERT_TRUE(run_until_midway([&w] { w.window->close(); }));
        ASSERT_EQ(w.dialogs.messages.size(), 1u);
        EXPECT_EQ(w.dialogs.messages[0].text,
                  "The operation was stopped and the chip powered down. Close the window?");
        EXPECT_FALSE(powered_at_question);
        EXPECT_TRUE(status_at_question.starts_with("Program all stopped at FLASH address "))
            << status_at_question;
        EXPECT_EQ(w.window->isVisible(), answer == MessageAnswer::No);
    }
}

TEST_F(SimulatedProgrammerTest, TheChipKeepsItsMemoriesBetweenTwoWindows) {
    MemoryImage image;
    {
        SimulatedWindow first(folder.path());
        first.load();
        first.fill_image();
        image = first.state.image;
        first.press("Command1");
        ASSERT_TRUE(first.status().starts_with("Chip programmed. ")) << first.status();
    }
    SimulatedWindow second(folder.path());
    second.load();
    second.press("Command2");
    ASSERT_TRUE(second.status().starts_with("Chip read. ")) << second.status();
    EXPECT_EQ(second.state.image.flash, image.flash);
    EXPECT_EQ(second.state.image.eeprom, image.eeprom);
}

TEST_F(SimulatedProgrammerTest, TheMenuItemSwitchesBetweenTheBoardAndTheSerialPort) {
    SimulatedWindow w(folder.path(), false);
    w.load();
    EXPECT_FALSE(w.sim_item()->isChecked());
    EXPECT_TRUE(w.sim_item()->isEnabled());
    EXPECT_EQ(w.status(), "Serial port COM3 ready...");
    EXPECT_EQ(w.settings.stored("Simulated Programmer").number, 0);

    w.sim_item()->trigger();
    EXPECT_TRUE(w.window->simulated());
    EXPECT_EQ(w.settings.stored("Simulated Programmer").number, 1);
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) ready...");
    EXPECT_FALSE(w.provider.is_open(3));
    w.press("Command3");
    EXPECT_TRUE(w.status().starts_with("Chip erased. ")) << w.status();

    w.sim_item()->trigger();
    EXPECT_FALSE(w.window->simulated());
    EXPECT_EQ(w.settings.stored("Simulated Programmer").number, 0);
    EXPECT_EQ(w.status(), "Serial port COM3 ready...");
    EXPECT_TRUE(w.provider.is_open(3));
    EXPECT_FALSE(w.simulator->has_chip());
    EXPECT_TRUE(fs::exists(chip_file("PIC18F452")));

    // Choosing a serial port number leaves the board too.
    w.sim_item()->trigger();
    w.dialogs.texts.push_back("3");
    w.find<QAction>(QStringLiteral("menuport"))->trigger();
    EXPECT_FALSE(w.sim_item()->isChecked());
    EXPECT_EQ(w.settings.stored("Simulated Programmer").number, 0);
    EXPECT_EQ(w.status(), "Serial port COM3 ready...");
}

TEST_F(SimulatedProgrammerTest, TheSwitchForOneRunStoresNothing) {
    SimulatedWindow w(folder.path(), false);
    w.use_simulator(folder.path(), true);
    w.load();
    EXPECT_TRUE(w.window->simulated());
    EXPECT_TRUE(w.sim_item()->isChecked());
    EXPECT_FALSE(w.settings.contains("Simulated Programmer"));
}

// Selecting another model leaves the chip in the socket, as on a real board. Erase then refuses
// it before anything is written and offers its model: No keeps the selection, Yes selects the chip's
// model as the model dialog would. Switching the board off and on puts in a chip of the selected
// model, and a model the simulator has no chip of closes the port.
TEST_F(SimulatedProgrammerTest, AnotherModelKeepsTheChipWhichEraseRefusesOfferingItsModel) {
    SimulatedWindow w(folder.path());
    w.load();
    w.fill_image();
    w.press("Command1");
    ASSERT_TRUE(w.status().starts_with("Chip programmed. ")) << w.status();
    const std::vector<std::uint8_t> programmed = w.simulator->chip()->memory().flash;
    const auto choose = [&w](int model) {
        QTimer::singleShot(0, w.window.get(), [model] {
            auto* dialog = qobject_cast<ModelDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->double_click(model);
        });
        w.find<QAction>(QStringLiteral("menumodel"))->trigger();
    };
    choose(2);
    EXPECT_EQ(w.state.model_name, "PIC18F242");
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) ready...");
    EXPECT_EQ(w.simulator->chip()->model().name, "PIC18F452");

    // While the question is up, the status line has its whole width and shows all of its text.
    auto* status_line = w.find<QLabel>(QStringLiteral("label_status"));
    bool status_whole = false;
    w.dialogs.on_message = [&] {
        status_whole = !w.find<QProgressBar>(QStringLiteral("progress_run"))->isVisible() &&
                       status_line->text() == "Wrong chip in the socket: erase not started." &&
                       status_line->fontMetrics().horizontalAdvance(status_line->text()) <
                           status_line->contentsRect().width() &&
                       status_line->width() > w.window->width() * 9 / 10;
    };
    w.dialogs.answers.push_back(MessageAnswer::No);
    for (const bool yes : {false, true}) {
        status_whole = false;
        w.press("Command3");
        EXPECT_TRUE(status_whole);
        ASSERT_EQ(w.dialogs.messages.size(), yes ? 2u : 1u);
        EXPECT_EQ(w.dialogs.messages.back().kind, MessageKind::YesNo);
        EXPECT_EQ(w.dialogs.messages.back().text,
                  "The chip in the socket is a PIC18F452 (device ID 0424, revision 4), not the selected "
                  "PIC18F242. Nothing was written: the erase was not started.\r\nSelect the PIC18F452 as the "
                  "model now?");
        EXPECT_EQ(w.simulator->chip()->memory().flash, programmed);
        EXPECT_EQ(w.state.model_name, yes ? "PIC18F452" : "PIC18F242");
    }
    EXPECT_EQ(w.setting("Microcontroller Model"), "1");
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) ready...");

    choose(2);
    w.sim_item()->trigger();
    w.sim_item()->trigger();
    EXPECT_EQ(w.status(), "Simulated board (PIC18F242) ready...");
    EXPECT_EQ(w.simulator->chip()->model().name, "PIC18F242");
    EXPECT_TRUE(fs::exists(chip_file("PIC18F452")));

    // A library model the simulator has no chip of.
    w.state.catalog.models[3].name = "PIC18F9999";
    choose(3);
    w.sim_item()->trigger();
    w.sim_item()->trigger();
    EXPECT_EQ(w.status(), "The simulated board has no PIC18F9999 chip!");
    EXPECT_FALSE(w.state.port_open);
    EXPECT_FALSE(w.simulator->has_chip());
    EXPECT_TRUE(fs::exists(chip_file("PIC18F242")));
}

TEST_F(SimulatedProgrammerTest, AFailedBoardIsNamedInTheStatusLine) {
    SimulatedWindow w(folder.path());
    w.load();
    auto* board = dynamic_cast<SimBoard*>(w.ports->port());
    ASSERT_NE(board, nullptr);
    board->fail_after_changes(100);
    w.press("Command3");
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) error!");
    EXPECT_FALSE(w.state.port_open);
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_NE(w.dialogs.messages[0].text.find("disconnected"), std::string::npos);
}

TEST_F(SimulatedProgrammerTest, AChipFileThatCannotBeReadIsReportedAndKept) {
    fs::create_directories(folder.path());
    folder.write("PIC18F452.hex", ":0400000012345678XX\r\n");
    SimulatedWindow w(folder.path());
    w.load();
    EXPECT_EQ(w.status(), "Simulated board (PIC18F452) error!");
    EXPECT_FALSE(w.state.port_open);
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_NE(w.dialogs.messages[0].text.find("cannot be read"), std::string::npos);
    EXPECT_EQ(TempDir::read(chip_file("PIC18F452")), ":0400000012345678XX\r\n");
}

}  // namespace
}  // namespace quillon

#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "ui/memory_table.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class MainWindowTest : public ::testing::Test, public WindowFixture {
  protected:
    MemoryTable* flash_table() { return find<MemoryTable>(QStringLiteral("tabla_flash")); }
    MemoryTable* eeprom_table() { return find<MemoryTable>(QStringLiteral("tabla_eeprom")); }
    QScrollBar* scrl1() { return find<QScrollBar>(QStringLiteral("scrl1")); }
    QScrollBar* scrl2() { return find<QScrollBar>(QStringLiteral("scrl2")); }
    QAction* action(const char* name) { return find<QAction>(QString::fromLatin1(name)); }
};

TEST_F(MainWindowTest, LoadSelectsTheStoredModelClearsTheBuffersAndOpensThePort) {
    settings.set_text_setting("Microcontroller Model", "2");
    load();
    EXPECT_EQ(state.model_number, 2);
    EXPECT_EQ(text_of("label_ime"), "PIC18F242");
    EXPECT_EQ(text_of("label_info"), "FLASH: 16384,  EEPROM: 256");
    EXPECT_EQ(state.image.flash.size(), 16384u);
    EXPECT_EQ(state.image.config(2), 0x27);
    EXPECT_EQ(text_of("label_conf_1"), "27");
    EXPECT_EQ(text_of("label_conf_13"), "40");
    EXPECT_EQ(scrl1()->maximum(), 1016);
    EXPECT_EQ(scrl2()->maximum(), 24);
    EXPECT_EQ(window->active_table(), 1);
    EXPECT_EQ(state.default_port, 3);  // the scan found COM3
    EXPECT_TRUE(state.port_open);
    EXPECT_TRUE(provider.is_open(3));
    EXPECT_EQ(text_of("label_status"), "Serial port COM3 ready...");
    EXPECT_EQ(setting("Last Path"), "/opt/quillon/");
    EXPECT_EQ(setting("Color Theme"), "Original Lite");
    EXPECT_EQ(window->windowTitle(), "Ardentix Quillon");
    EXPECT_EQ(window->minimumSize(), window->maximumSize());  // fixed size
}

TEST_F(MainWindowTest, StoredModelNumbersThatCannotBeUsedSelectModelOne) {
    const std::pair<const char*, int> cases[] = {{"0", 1}, {"abc", 1}, {"2.5", 2}, {"3.5", 4}, {"5", 1}};
    for (const auto& [stored, expected] : cases) {
        WindowFixture f;
        f.settings.set_text_setting("Microcontroller Model", stored);
        f.load();
        EXPECT_EQ(f.state.model_number, expected) << stored;
        EXPECT_EQ(f.setting("Microcontroller Model"), expected == 1 ? "1" : stored);
        EXPECT_EQ(f.text_of("label_ime").toStdString(),
                  f.state.catalog.models[static_cast<std::size_t>(expected)].name);
    }
}

TEST_F(MainWindowTest, TablesShowEightRowsAtTheTopAndAtTheEnd) {
    load();
    EXPECT_EQ(scrl1()->maximum(), 2040);
    EXPECT_EQ(scrl2()->maximum(), 24);
    const QStringList top = flash_table()->toPlainText().split('\n');
    ASSERT_EQ(top.size(), 8);
    EXPECT_TRUE(top.first().startsWith("000000: FF FF"));
    EXPECT_TRUE(top.last().startsWith("000070: FF"));

    state.image.flash[0x7FFF] = 0x12;
    scrl1()->setValue(scrl1()->maximum());  // the value change alone redraws
    const QStringList bottom = flash_table()->toPlainText().split('\n');
    ASSERT_EQ(bottom.size(), 8);
    EXPECT_TRUE(bottom.first().startsWith("007F80:"));
    EXPECT_EQ(bottom.last(), "007FF0: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 12");

    scrl2()->setValue(24);
    const QStringList eeprom = eeprom_table()->toPlainText().split('\n');
    ASSERT_EQ(eeprom.size(), 8);
    EXPECT_EQ(eeprom.last(), "00F8: FF FF FF FF FF FF FF FF");

    // The page step is eight rows.
    scrl1()->setValue(0);
    scrl1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(scrl1()->value(), 8);
    EXPECT_TRUE(flash_table()->toPlainText().startsWith("000080:"));
}

TEST_F(MainWindowTest, EveryRowFitsTheTableWithoutClipping) {
    load();
    for (MemoryTable* table : {flash_table(), eeprom_table()}) {
        QTextDocument* document = table->document();
        EXPECT_EQ(document->blockCount(), 8);
        EXPECT_LE(document->size().height(), table->viewport()->height())
            << table->objectName().toStdString();
        EXPECT_LE(document->idealWidth(), table->viewport()->width()) << table->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, AModelWithoutEepromShowsAnEmptyTable) {
    settings.set_text_setting("Microcontroller Model", "3");
    load();
    EXPECT_EQ(text_of("label_info"), "FLASH: 4096,  EEPROM: 0");
    EXPECT_EQ(eeprom_table()->toPlainText(), "");
    EXPECT_EQ(scrl2()->maximum(), 0);
    EXPECT_EQ(scrl1()->maximum(), 248);
}

TEST_F(MainWindowTest, ClearBufferErasesTheImageAndTheCaptions) {
    load();
    state.image.flash[5] = 0;
    state.image.config(1) = 0x55;
    scrl1()->setValue(100);
    window->set_loaded_file(QStringLiteral("/tmp/a.hex"));
    window->set_status(QStringLiteral("Chip read."));
    action("menuclear")->trigger();
    EXPECT_EQ(state.image.flash[5], 0xFF);
    EXPECT_EQ(state.image.config(1), 0x00);
    EXPECT_EQ(text_of("label_hex"), "");
    EXPECT_EQ(text_of("label_status"), "");
    EXPECT_EQ(scrl1()->value(), 0);
    EXPECT_TRUE(flash_table()->toPlainText().startsWith("000000: FF FF FF FF FF FF"));
    EXPECT_EQ(window->active_table(), 1);
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
}

TEST_F(MainWindowTest, DisableLocksTheMenusAndButtonsOnly) {
    load();
    window->disable();
    EXPECT_TRUE(window->busy());
    for (const char* name : {"menu1", "menu3", "menu4", "menu5", "menu6"})
        EXPECT_FALSE(find<QMenu>(QString::fromLatin1(name))->menuAction()->isEnabled()) << name;
    for (int i = 1; i <= 5; ++i)
        EXPECT_FALSE(find<QPushButton>(QStringLiteral("Command%1").arg(i))->isEnabled());
    EXPECT_TRUE(scrl1()->isEnabled());
    scrl1()->setValue(3);
    EXPECT_TRUE(flash_table()->toPlainText().startsWith("000030:"));

    // Closing now would pull the window away under the run.
    EXPECT_FALSE(window->close());
    window->enable();
    for (const char* name : {"menu1", "menu3", "menu4", "menu5", "menu6"})
        EXPECT_TRUE(find<QMenu>(QString::fromLatin1(name))->menuAction()->isEnabled()) << name;
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("Command5"))->isEnabled());
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, ChipOperationsRunOnTheOpenPortAndReportInTheStatusLine) {
    load();
    find<QPushButton>(QStringLiteral("Command3"))->click();
    EXPECT_TRUE(text_of("label_status").startsWith("Chip erased. ")) << text_of("label_status").toStdString();
    EXPECT_FALSE(provider.last_port().events().empty());
    action("menublank")->trigger();
    EXPECT_TRUE(text_of("label_status").startsWith("Chip is blank. "));
    // The box keeps the EEPROM out of the checks, and is stored.
    find<QCheckBox>(QStringLiteral("check_keep_eeprom"))->setChecked(true);
    action("menublank")->trigger();
    EXPECT_TRUE(text_of("label_status").startsWith("Chip is blank (FLASH and configuration only). "));
    EXPECT_EQ(settings.get_number_setting("Keep Data EEPROM", 0), 1);
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
    EXPECT_FALSE(window->busy());

    ports->close_port();
    find<QPushButton>(QStringLiteral("Command4"))->click();
    EXPECT_EQ(text_of("label_status"), "Serial port 3 error!");
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("Command4"))->isEnabled());
}

TEST_F(MainWindowTest, APortThatFailsIsReleasedAndAnUnknownScriptWordKeepsTheWindowAndItsBuffers) {
    load();
    provider.last_port().fail_after_changes = 0;
    action("menuerase")->trigger();
    EXPECT_FALSE(state.port_open);
    EXPECT_FALSE(provider.is_open(3));  // released, so that another program or a port change can have it
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);

    WindowFixture other;  // on a model without scripts
    other.settings.set_text_setting("Microcontroller Model", "3");
    other.load();
    other.state.image.flash[7] = 0x42;  // an edit not saved yet
    other.window->set_loaded_file(QStringLiteral("/tmp/work.hex"));
    other.find<QPushButton>(QStringLiteral("Command1"))->click();
    ASSERT_EQ(other.dialogs.messages.size(), 1u);
    EXPECT_EQ(other.dialogs.messages[0].text,
              "Unrecognized symbolic instruction ''.\r\nThe program must end.");
    EXPECT_TRUE(other.window->isVisible());
    EXPECT_EQ(other.state.image.flash[7], 0x42);
    EXPECT_EQ(other.text_of("label_hex"), "/tmp/work.hex");
    EXPECT_EQ(other.text_of("label_status"), "Script error! The chip was not touched.");
    EXPECT_TRUE(other.find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
    EXPECT_FALSE(other.find<QPushButton>(QStringLiteral("Command6"))->isEnabled());
}

TEST_F(MainWindowTest, AboutAndPinoutGoThroughTheirOwners) {
    load();
    action("menuabout")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Ok);
    EXPECT_EQ(dialogs.messages[0].title, "Ardentix Quillon");
    EXPECT_NE(dialogs.messages[0].text.find("Ardentix Quillon"), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("as is, without any warranties"), std::string::npos);
    action("menuportinfo")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, pinout_text());
    EXPECT_EQ(dialogs.messages[1].kind, MessageKind::Ok);
}

TEST_F(MainWindowTest, TheHostWritesTheCaptions) {
    load();
    window->host().set_status("F:17/32768");
    window->host().set_loaded_file("/home/user/a.hex");
    EXPECT_EQ(text_of("label_status"), "F:17/32768");
    EXPECT_EQ(text_of("label_hex"), "/home/user/a.hex");
    dialogs.answers.push_back(MessageAnswer::No);
    EXPECT_EQ(window->host().show_message("Overwrite?", MessageKind::YesNo, ""), MessageAnswer::No);
}

TEST(EventPump, LetsEventsRunAtMostOncePerIntervalUnlessForced) {
    FakeClock clock;
    EventPump pump(clock);
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 1);
    clock.advance(std::chrono::milliseconds(10));
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 1);
    clock.advance(std::chrono::milliseconds(5));
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 2);
    pump.force_next();
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 3);
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 3);
}

}  // namespace
}  // namespace quillon

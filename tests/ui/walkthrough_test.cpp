// A user's whole job in the window against the simulated board: choose the model, open a real HEX
// file, program, verify, read back, edit a byte, save, erase and blank check. With
// QUILLON_WALK_DIR set, a picture of the window is kept after every step.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <iostream>

#include "hexfile/hex_reader.h"
#include "ui/memory_table.h"
#include "ui/model_dialog.h"
#include "ui/supplied_library.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

constexpr int kPic18f4520 = 16;  // its place in the supplied library
constexpr const char* kProgram = "mikroc_pic18f4520_hlvd_eeprom_blankline.hex";

class Walkthrough : public ::testing::Test, public WindowFixture {
  protected:
    Walkthrough() : WindowFixture(supplied_device_library()) {}

    void SetUp() override {
        if (state.model_count == 0) GTEST_SKIP() << "the supplied device library is not there";
        if (hex_corpus_dir().empty()) GTEST_SKIP() << "the HEX corpus is not there";
        settings.set_number_setting("Simulated Programmer", 1);
        use_simulator(chips.path());
        load();
    }

    std::string status() const { return text_of("label_status").toStdString(); }
    void press(const char* button) { find<QPushButton>(QString::fromLatin1(button))->click(); }
    void picture(const char* step) {
        const QString folder = qEnvironmentVariable("QUILLON_WALK_DIR");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        window->grab().save(folder + QLatin1Char('/') + QString::fromLatin1(step) + ".png");
    }

    TempDir chips;
    TempDir work;
};

TEST_F(Walkthrough, FromAHexFileToAProgrammedChipAndBack) {
    EXPECT_EQ(status(), "Simulated board (PIC18F452) ready...");
    picture("01-start");

    // The model, chosen by a double click in the dialog that the model name opens.
    QTimer::singleShot(0, window.get(), [] {
        auto* dialog = qobject_cast<ModelDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseDClick(dialog->findChild<QWidget*>(QStringLiteral("opcija_%1").arg(kPic18f4520)),
                           Qt::LeftButton);
    });
    QTest::mouseClick(find<QWidget>(QStringLiteral("label_ime")), Qt::LeftButton);
    ASSERT_EQ(state.model_name, "PIC18F4520");
    // The board keeps the PIC18F452 in its socket; off and on again, it holds a PIC18F4520.
    EXPECT_EQ(status(), "Simulated board (PIC18F452) ready...");
    find<QAction>(QStringLiteral("menusim"))->trigger();
    find<QAction>(QStringLiteral("menusim"))->trigger();
    EXPECT_EQ(status(), "Simulated board (PIC18F4520) ready...");
    EXPECT_EQ(setting("Microcontroller Model"), std::to_string(kPic18f4520));
    picture("02-model");

    // The program, from the file label.
    const std::string program = (hex_corpus_dir() / kProgram).string();
    dialogs.files.push_back(program);
    QTest::mouseClick(find<QWidget>(QStringLiteral("Label7")), Qt::LeftButton);
    EXPECT_EQ(status(), "Operation completed. Total 954 (.931K) program bytes loaded.");
    picture("03-opened");

    press("Command1");
    EXPECT_TRUE(status().starts_with("Chip programmed. ")) << status();
    picture("04-programmed");
    // The file also sets CONFIG3L and CONFIG4H, which this chip does not have: verify leaves them out.
    press("Command5");
    EXPECT_TRUE(status().starts_with("Chip verified. ")) << status();
    EXPECT_TRUE(dialogs.messages.empty());
    const MemoryImage loaded = state.image;

    // Read back into cleared buffers: the bytes the chip lacks read 00.
    find<QAction>(QStringLiteral("menuclear"))->trigger();
    EXPECT_EQ(state.image.flash[0], 0xFF);
    press("Command2");
    EXPECT_TRUE(status().starts_with("Chip read. ")) << status();
    EXPECT_EQ(state.image.flash, loaded.flash);
    EXPECT_EQ(state.image.eeprom, loaded.eeprom);
    for (int index = 1; index <= 14; ++index) {
        const bool absent = index == 5 || index == 8;
        EXPECT_EQ(state.image.config(index), absent ? 0x00 : loaded.config(index)) << index;
    }
    picture("05-read");

    // One FLASH byte edited in place: the chip no longer matches.
    auto* flash = find<MemoryTable>(QStringLiteral("tabla_flash"));
    const QRect cell = flash->cell_rect({0, 5}).translated(-flash->viewport()->pos());
    QTest::mouseClick(flash->viewport(), Qt::RightButton, {}, cell.center());
    auto* box = find<QLineEdit>(QStringLiteral("unosbox"));
    ASSERT_TRUE(box->isVisible());
    QTest::keyClicks(box, QStringLiteral("5a"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(state.image.flash[5], 0x5A);
    press("Command5");
    EXPECT_TRUE(status().starts_with("Chip verify failed. ")) << status();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().text.find("000005h"), std::string::npos)
        << dialogs.messages.back().text;
    picture("06-edited");

    // Saved and loaded again, the edit is in the file.
    const std::string saved = work.file("edited.hex");
    dialogs.files.push_back(saved);
    find<QAction>(QStringLiteral("menusave"))->trigger();
    EXPECT_EQ(status(), "HEX file saved.");
    MemoryImage reread = state.image;
    ASSERT_TRUE(read_hex_file(saved, reread).accepted());
    EXPECT_EQ(reread.flash, state.image.flash);
    EXPECT_EQ(setting("Last Path"), work.path() + "/");

    press("Command3");
    EXPECT_TRUE(status().starts_with("Chip erased. ")) << status();
    press("Command4");
    EXPECT_TRUE(status().starts_with("Chip is blank. ")) << status();
    picture("07-blank");
}

}  // namespace
}  // namespace quillon

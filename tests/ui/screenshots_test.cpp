// Pictures of the windows in four themes, for looking at them (docs/screenshots holds a set).
// Written only when QUILLON_SCREENSHOT_DIR names a folder:
//   QUILLON_SCREENSHOT_DIR=docs/screenshots build/bin/ui_window_tests --gtest_filter='Screenshots.*'
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <QAction>
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "base/host.h"
#include "engine/script/programmer_lines.h"
#include "ui/hardware_check_dialog.h"
#include "ui/input_dialog.h"
#include "ui/memory_table.h"
#include "ui/message_dialog.h"
#include "ui/model_dialog.h"
#include "ui/supplied_library.h"
#include "ui/theme_window.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

// "Powerpuff!" -> "powerpuff", "Bubble Gum" -> "bubble-gum".
QString slug(const std::string& name) {
    QString out;
    for (const QChar c : QString::fromStdString(name).toLower()) {
        if (c.isLetterOrNumber()) out += c;
        if (c == QLatin1Char(' ')) out += QLatin1Char('-');
    }
    return out;
}

TEST(Screenshots, MainWindowAndDialogsInFourThemes) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR is not set";
    QDir().mkpath(folder);
    for (const char* name : {"Original Lite", "Original Dark", "Mono Dark", "Halloween"}) {
        WindowFixture f;
        f.settings.set_text_setting("Color Theme", name);
        f.load();
        for (std::size_t i = 0; i < 40; ++i)
            f.state.image.flash[i] = static_cast<std::uint8_t>(i * 7);
        f.state.image.eeprom[3] = 0x42;
        f.window->updatedisplay();
        f.window->set_loaded_file(QStringLiteral("/home/user/firmware/blinker.hex"));
        f.window->set_status(QStringLiteral("Chip programmed. 12.34 seconds elapsed..."));
        const QString base = folder + QLatin1Char('/') + slug(name);
        EXPECT_TRUE(f.window->grab().save(base + "-main.png"));
        // The windows whose look does not change with the theme beyond the colours: once.
        const bool first = std::string_view(name) == "Original Lite";

        // The edit box open over the third cell of the second row.
        if (first) {
            auto* flash = f.find<MemoryTable>(QStringLiteral("tabla_flash"));
            const QRect cell = flash->cell_rect({1, 2}).translated(-flash->viewport()->pos());
            QTest::mouseClick(flash->viewport(), Qt::RightButton, {}, cell.center());
            QTest::keyClicks(f.find<QWidget>(QStringLiteral("unosbox")), QStringLiteral("5A"));
            EXPECT_TRUE(f.window->grab().save(base + "-edit.png"));
            QTest::keyClick(f.find<QWidget>(QStringLiteral("unosbox")), Qt::Key_Escape);
        }

        MessageDialog message(f.state, f.theme);
        message.prepare(
            "Chip verify failed:\r\n\r\nMemory Location,   Read Value,   Expected,\r\n"
            "FLASH Byte 000010h,   00h,   FFh,\r\nCONF Byte 300001h,   27h,   26h,\r\n",
            MessageKind::Error, "");
        message.show();
        EXPECT_TRUE(message.grab().save(base + "-message.png"));

        if (first) {
            f.window->menuabout();
            ASSERT_FALSE(f.dialogs.messages.empty());
            MessageDialog about(f.state, f.theme);
            about.prepare(f.dialogs.messages.back().text, f.dialogs.messages.back().kind,
                          f.dialogs.messages.back().title);
            about.show();
            EXPECT_TRUE(about.grab().save(base + "-about.png"));

            MessageDialog question(f.state, f.theme);
            question.prepare("The file /home/user/firmware/blinker.hex exists. Overwrite it?",
                             MessageKind::YesNo, "");
            question.show();
            EXPECT_TRUE(question.grab().save(base + "-question.png"));
        }

        InputDialog input(f.state, f.theme);
        input.prepare("Enter the serial port number (1 to 16):", "Serial Port", "2");
        input.show();
        EXPECT_TRUE(input.grab().save(base + "-input.png"));

        ThemeWindow themes(f.theme, f.settings, {});
        themes.show();
        EXPECT_TRUE(themes.grab().save(base + "-themes.png"));
    }
}

TEST(Screenshots, ModelSelectionHardwareCheckAndTheSimulatedBoard) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR is not set";
    const std::string library = supplied_device_library();
    if (library.empty()) GTEST_SKIP() << "the supplied device library is not there";
    QDir().mkpath(folder);
    const std::filesystem::path program = hex_corpus_dir() / "ccs_pic18f452_volt_freq_phase.hex";
    for (const char* name : {"Original Lite", "Original Dark", "Mono Dark", "Halloween"}) {
        const QString base = folder + QLatin1Char('/') + slug(name);
        TempDir chips;
        WindowFixture f(library);
        f.settings.set_text_setting("Color Theme", name);
        f.use_simulator(chips.path());
        f.load();
        if (!hex_corpus_dir().empty()) {
            f.dialogs.files.push_back(program.string());
            f.find<QAction>(QStringLiteral("menuopen"))->trigger();
        }
        f.find<QAction>(QStringLiteral("menusim"))->trigger();  // the board takes over from COM3
        EXPECT_TRUE(f.window->grab().save(base + "-simulated.png"));
        if (std::string_view(name) == "Original Lite") {
            // Early in a long run (the whole FLASH written), once the time left shows: the Stop
            // button and the progress bar beside the caption.
            for (std::size_t i = 0x2000; i < f.state.image.flash.size(); ++i)
                f.state.image.flash[i] = static_cast<std::uint8_t>(i * 13 + 5);
            f.window->updatedisplay();
            bool grabbed = false;
            QTimer early;
            early.setInterval(0);
            QObject::connect(&early, &QTimer::timeout, [&] {
                auto* bar = f.find<QProgressBar>(QStringLiteral("progress_run"));
                if (grabbed || !bar->isVisible() || !bar->format().contains(QStringLiteral("left"))) return;
                grabbed = true;
                EXPECT_LT(bar->value(), 20) << bar->format().toStdString();
                EXPECT_TRUE(f.window->grab().save(base + "-simulated-programming.png"));
            });
            early.start();
            f.find<QPushButton>(QStringLiteral("Command1"))->click();
            EXPECT_TRUE(grabbed);
            EXPECT_TRUE(f.window->grab().save(base + "-simulated-programmed.png"));
        }

        ModelDialog models(f.state, f.theme, f.settings);
        models.click(5);
        models.show();
        EXPECT_TRUE(models.grab().save(base + "-models.png"));
        models.cancel();

        // The hardware check keeps its own colours in every theme: once.
        if (std::string_view(name) == "Original Lite") {
            ProgrammerLines lines(*f.ports->port(), f.window->host(), f.clock);
            HardwareCheckDialog check(lines);
            check.show();
            check.findChild<QCheckBox*>(QStringLiteral("Check3"))->click();
            check.findChild<QCheckBox*>(QStringLiteral("Check4"))->click();
            check.tick();  // DATA IN follows DATA OUT on the board
            EXPECT_TRUE(check.grab().save(base + "-check.png"));
        }
    }
}

// The configuration cells name their byte's settings in their tips, and Program All asks before it
// writes protection. With QUILLON_SCREENSHOT_DIR set, the tip of CONFIG1H is also pictured.
TEST(Screenshots, ConfigurationCellTipAndTheProtectionQuestion) {
    const std::string library = supplied_device_library();
    if (library.empty() || hex_corpus_dir().empty())
        GTEST_SKIP() << "the supplied library or the corpus is not there";
    WindowFixture f(library);
    f.load();
    f.dialogs.files.push_back((hex_corpus_dir() / "ccs_pic18f452_volt_freq_phase.hex").string());
    f.find<QAction>(QStringLiteral("menuopen"))->trigger();
    auto* cell = f.find<QLabel>(QStringLiteral("label_conf_1"));
    EXPECT_EQ(cell->toolTip(), QStringLiteral("Click to edit!\nOSC = HS\nOSCS = OFF"));

    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QToolTip::showText(cell->mapToGlobal(cell->rect().bottomRight()), cell->toolTip(), cell);
        QWidget* tip = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->inherits("QTipLabel") && widget->isVisible()) tip = widget;
        ASSERT_NE(tip, nullptr);
        const QPixmap window = f.window->grab();
        const QPoint at = tip->pos() - f.window->geometry().topLeft();
        QPixmap picture(std::max(window.width(), at.x() + tip->width()),
                        std::max(window.height(), at.y() + tip->height()));
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, window);
        painter.drawPixmap(at, tip->grab());
        painter.end();
        EXPECT_TRUE(picture.save(folder + "/original-lite-config-tip.png"));
        QToolTip::hideText();
    }

    // CP0 = ON in CONFIG5L: No leaves the chip alone.
    TempDir dir;
    f.dialogs.files.push_back(dir.write("protected.hex", ":020000040030CA\n:010008000EE9\n:00000001FF\n"));
    f.find<QAction>(QStringLiteral("menuopen"))->trigger();
    f.dialogs.answers.push_back(MessageAnswer::No);
    f.find<QPushButton>(QStringLiteral("Command1"))->click();
    ASSERT_FALSE(f.dialogs.messages.empty());
    EXPECT_NE(f.dialogs.messages.back().text.find("Code protection is on (CP0)"), std::string::npos);
    EXPECT_EQ(f.text_of(QStringLiteral("label_status")),
              QStringLiteral("Program All cancelled; the chip was not touched."));

    // The question as the message box shows it: No is the default, so Enter leaves the chip alone.
    const ScriptedDialogs::Message& asked = f.dialogs.messages.back();
    MessageDialog question(f.state, f.theme);
    question.prepare(asked.text, asked.kind, asked.title);
    question.show();
    EXPECT_TRUE(question.findChild<QPushButton*>(QStringLiteral("Command2"))->isDefault());
    if (!folder.isEmpty()) {
        EXPECT_TRUE(question.grab().save(folder + "/original-lite-protection-question.png"));
    }
    QTest::keyClick(&question, Qt::Key_Return);
    EXPECT_EQ(question.answer(), MessageAnswer::No);
}

// The themes whose highlight or caption colours were retouched for legibility: their two lists.
TEST(Screenshots, ThemeAndModelListsOfTheRetouchedThemes) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR is not set";
    const std::string library = supplied_device_library();
    if (library.empty()) GTEST_SKIP() << "the supplied device library is not there";
    QDir().mkpath(folder);
    for (const char* name :
         {"Bubble Gum", "Citrus", "City Night", "Coagulated", "Donatello", "Dymunds", "HaXb0x", "Mono Lite",
          "Night Vision", "Powerpuff!", "Toxic", "Uranium", "Winamp New", "Winamp Old"}) {
        const QString base = folder + QLatin1Char('/') + slug(name);
        WindowFixture f(library);
        f.settings.set_text_setting("Color Theme", name);
        f.load();

        ThemeWindow themes(f.theme, f.settings, {});
        themes.show();
        EXPECT_TRUE(themes.grab().save(base + "-themes.png"));

        ModelDialog models(f.state, f.theme, f.settings);
        models.click(5);
        models.show();
        EXPECT_TRUE(models.grab().save(base + "-models.png"));
        models.cancel();
    }
}

}  // namespace
}  // namespace quillon

#include "ui/model_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include "model/select_model.h"
#include "ui/memory_table.h"
#include "ui/role_number.h"
#include "ui/twips.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | value));
}

QLabel* slot(QWidget& dialog, int index) {
    return dialog.findChild<QLabel*>(QStringLiteral("opcija_%1").arg(index));
}

QPushButton* button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

// `models` models named M1, M2, ..., the first with the sizes of a PIC18F452.
std::string library_of(int models) {
    std::string text;
    for (int i = 1; i <= models; ++i)
        text += "model: M" + std::to_string(i) + "\r\nflash: " + (i == 1 ? "32768" : "16384") +
                "\r\neeprom: 256\r\n";
    return text;
}

struct ModelDialogTest : ::testing::Test {
    void use_library(int models, int selected) {
        parse_device_text(state.catalog, library_of(models));
        state.model_count = state.catalog.model_count();
        state.model_number = selected;
        select_model(state, selected);
    }

    AppState state;
    ThemeState theme;
    MemorySettingsStore settings;
};

TEST_F(ModelDialogTest, ThreeModelsShrinkTheDialogToTwoRows) {
    use_library(3, 2);
    ModelDialog dialog(state, theme, settings);
    const Twips tw = Twips::for_widget(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Select Microcontroller");
    EXPECT_EQ(slot(dialog, 1)->geometry(), tw.rect(120, 120, 2115, 255));
    EXPECT_EQ(slot(dialog, 2)->geometry(), tw.rect(2340, 120, 2115, 255));
    EXPECT_EQ(slot(dialog, 3)->geometry(), tw.rect(120, 360, 2115, 255));
    EXPECT_EQ(slot(dialog, 3)->text(), "M3");
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(slot(dialog, i)->isHidden()) << i;
    for (int i = 4; i <= 70; ++i)
        EXPECT_TRUE(slot(dialog, i)->isHidden()) << i;
    EXPECT_EQ(slot(dialog, 71), nullptr);
    EXPECT_EQ(button(dialog, "Command1")->geometry(), tw.rect(2340, 720, 1035, 375));
    EXPECT_EQ(button(dialog, "Command1")->text(), "Select");
    EXPECT_EQ(button(dialog, "Command2")->geometry(), tw.rect(1200, 720, 1035, 375));
    EXPECT_EQ(button(dialog, "Command2")->text(), "Cancel");
    EXPECT_EQ(dialog.size(), QSize(tw.px(4575), tw.px(720 + 435)));
    EXPECT_EQ(slot(dialog, 1)->toolTip(), "FLASH: 32768, EEPROM: 256");
    EXPECT_EQ(slot(dialog, 2)->toolTip(), "FLASH: 16384, EEPROM: 256");
}

TEST_F(ModelDialogTest, TheMarkedModelTakesTheHighlightColours) {
    use_library(3, 2);
    ModelDialog dialog(state, theme, settings);
    const auto expect_marked = [&](int marked) {
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(slot(dialog, i)->palette().color(QPalette::Window),
                      rgb(role_number(theme, i == marked ? 4 : 8)));
            EXPECT_EQ(slot(dialog, i)->palette().color(QPalette::WindowText),
                      rgb(role_number(theme, i == marked ? 5 : 9)));
        }
    };
    expect_marked(2);
    EXPECT_EQ(dialog.palette().color(QPalette::Window), rgb(role_number(theme, 1)));
    QTest::mouseClick(slot(dialog, 3), Qt::LeftButton);
    EXPECT_EQ(state.model_number, 3);
    expect_marked(3);
    EXPECT_EQ(state.model_name, "M2");  // nothing loaded by a click
    EXPECT_FALSE(settings.contains("Microcontroller Model"));
}

TEST_F(ModelDialogTest, SelectStoresAndLoadsOnlyAnotherModel) {
    use_library(3, 2);
    {
        ModelDialog dialog(state, theme, settings);
        dialog.click(2);
        dialog.select();
        EXPECT_FALSE(dialog.model_changed());
        EXPECT_FALSE(settings.contains("Microcontroller Model"));
    }
    ModelDialog dialog(state, theme, settings);
    dialog.double_click(1);
    EXPECT_TRUE(dialog.model_changed());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.stored("Microcontroller Model").text, "1");
    EXPECT_EQ(state.model_name, "M1");
    EXPECT_EQ(state.flash_size, 32768);
}

TEST_F(ModelDialogTest, CancelAndTheCloseBoxGoBackToTheModelItOpenedWith) {
    use_library(3, 2);
    for (const bool close_box : {false, true}) {
        ModelDialog dialog(state, theme, settings);
        dialog.show();
        dialog.click(3);
        if (close_box)
            dialog.close();
        else
            QTest::mouseClick(button(dialog, "Command2"), Qt::LeftButton);
        EXPECT_EQ(state.model_number, 2);
        EXPECT_EQ(state.model_name, "M2");
        EXPECT_FALSE(dialog.model_changed());
        EXPECT_FALSE(settings.contains("Microcontroller Model"));
    }
}

TEST_F(ModelDialogTest, MoreThanSeventyModelsScrollInTwoColumns) {
    use_library(75, 74);
    ModelDialog dialog(state, theme, settings);
    const Twips tw = Twips::for_widget(dialog);
    EXPECT_EQ(slot(dialog, 75)->text(), "M75");
    EXPECT_FALSE(slot(dialog, 75)->isHidden());
    EXPECT_EQ(slot(dialog, 75)->geometry(), tw.rect(120, 120 + 240 * 37, 2115, 255));
    EXPECT_EQ(slot(dialog, 74)->geometry().left(), tw.px(2340));
    EXPECT_EQ(button(dialog, "Command1")->y(), tw.px(8640));  // the designed layout
    dialog.show();
    auto* list = dialog.findChild<QScrollArea*>(QStringLiteral("model_list"));
    ASSERT_NE(list, nullptr);
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
    EXPECT_GT(list->verticalScrollBar()->value(), 0);  // scrolled to the selected model
    dialog.double_click(75);
    EXPECT_EQ(state.model_name, "M75");
}

class ModelCommandTest : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override { load(); }

    // Runs the model command from `control` with `act` done to the open dialog.
    void run_model_command(const std::function<void()>& start, std::function<void(ModelDialog&)> act) {
        QTimer::singleShot(0, window.get(), [act] {
            auto* dialog = qobject_cast<ModelDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        start();
    }
};

TEST_F(ModelCommandTest, CancelAndTheSameModelKeepTheLoadedImageAnotherModelClearsIt) {
    state.image.flash[0] = 0x00;
    window->updatedisplay();
    window->set_loaded_file(QStringLiteral("/tmp/a.hex"));
    window->set_status(QStringLiteral("Chip read. 1.00 seconds elapsed..."));
    const std::function<void(ModelDialog&)> keeping[] = {
        [](ModelDialog& dialog) {
            QTest::mouseClick(slot(dialog, 2), Qt::LeftButton);
            QTest::mouseClick(button(dialog, "Command2"), Qt::LeftButton);
        },
        [](ModelDialog& dialog) { QTest::mouseDClick(slot(dialog, 1), Qt::LeftButton); },
    };
    for (const auto& act : keeping) {
        run_model_command([this] { find<QAction>(QStringLiteral("menumodel"))->trigger(); }, act);
        EXPECT_EQ(state.model_number, 1);
        EXPECT_EQ(state.model_name, "PIC18F452");
        EXPECT_EQ(setting("Microcontroller Model"), "1");
        EXPECT_EQ(state.image.flash[0], 0x00);
        EXPECT_TRUE(
            find<MemoryTable>(QStringLiteral("tabla_flash"))->toPlainText().startsWith("000000: 00 FF"));
        EXPECT_EQ(text_of("label_hex"), "/tmp/a.hex");
        EXPECT_EQ(text_of("label_status"), "Chip read. 1.00 seconds elapsed...");
    }
    run_model_command([this] { find<QAction>(QStringLiteral("menumodel"))->trigger(); },
                      [](ModelDialog& dialog) { QTest::mouseDClick(slot(dialog, 4), Qt::LeftButton); });
    EXPECT_EQ(state.model_number, 4);
    EXPECT_EQ(state.image.flash, FlashBuffer(64, 0xFF));
    EXPECT_EQ(text_of("label_hex"), "");
    EXPECT_EQ(text_of("label_status"), "");
}

TEST_F(ModelCommandTest, TheModelLabelsOpenTheDialogAndADoubleClickSelects) {
    for (const char* label : {"Label1", "label_ime", "label_info"}) {
        run_model_command(
            [this, label] { QTest::mouseClick(find<QWidget>(QString::fromLatin1(label)), Qt::LeftButton); },
            [](ModelDialog& dialog) { dialog.cancel(); });
    }
    run_model_command(
        [this] { QTest::mouseClick(find<QWidget>(QStringLiteral("label_ime")), Qt::LeftButton); },
        [](ModelDialog& dialog) { QTest::mouseDClick(slot(dialog, 2), Qt::LeftButton); });
    EXPECT_EQ(state.model_number, 2);
    EXPECT_EQ(setting("Microcontroller Model"), "2");
    EXPECT_EQ(text_of("label_ime"), "PIC18F242");
    EXPECT_EQ(text_of("label_info"), "FLASH: 16384,  EEPROM: 256");
    EXPECT_EQ(state.image.flash.size(), 16384u);
    EXPECT_EQ(window->active_table(), 1);

    // While an operation runs, the labels do nothing.
    window->disable();
    bool opened = false;
    QTimer::singleShot(0, window.get(), [&opened] {
        if (auto* dialog = qobject_cast<ModelDialog*>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->cancel();
        }
    });
    QTest::mouseClick(find<QWidget>(QStringLiteral("Label1")), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    window->enable();
}

}  // namespace
}  // namespace quillon

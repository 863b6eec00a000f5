#include "ui/hardware_check_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include "ui/twips.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class HardwareCheckTest : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override { load(); }

    // Opens the dialog from the Hardware menu and runs `act` on it while it is open.
    void check_hardware(std::function<void(HardwareCheckDialog&)> act) {
        bool opened = false;
        QTimer::singleShot(0, window.get(), [act, &opened] {
            auto* dialog = qobject_cast<HardwareCheckDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            opened = true;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        find<QAction>(QStringLiteral("menucheck"))->trigger();
        QApplication::processEvents();
        opened_ = opened;
    }
    static QCheckBox* box(QWidget& dialog, const char* name) {
        return dialog.findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    static QPushButton* close_button(QWidget& dialog) {
        return dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
    }
    RecordingPort& port() { return provider.last_port(); }
    int supply_toggles() {
        return static_cast<int>(std::count(port().events().begin(), port().events().end(),
                                           LineEvent{LineEvent::Kind::WriteByte, 1}));
    }

    bool opened_ = false;
};

TEST_F(HardwareCheckTest, TheDialogHasItsControlsInPlaceAndInTabOrder) {
    check_hardware([](HardwareCheckDialog& dialog) {
        const Twips tw = Twips::for_widget(dialog);
        EXPECT_EQ(dialog.windowTitle(), "Check Hardware");
        EXPECT_EQ(dialog.size(), QSize(tw.px(2655), tw.px(2115)));
        const std::array<std::pair<const char*, const char*>, 4> boxes = {
            {{"Check2", "Toggle VDD-VPP line"},
             {"Check3", "Enable CLOCK line"},
             {"Check4", "Enable DATA OUT line"},
             {"Check5", "Status of DATA IN line"}}};
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            QCheckBox* check = box(dialog, boxes[i].first);
            EXPECT_EQ(check->text(), boxes[i].second);
            EXPECT_EQ(check->geometry(), tw.rect(60, 60 + 420 * static_cast<int>(i), 2535, 315));
            EXPECT_FALSE(check->isChecked());
        }
        EXPECT_EQ(close_button(dialog)->text(), "Close");
        EXPECT_EQ(close_button(dialog)->geometry(), tw.rect(1860, 1740, 735, 315));
        EXPECT_EQ(close_button(dialog)->nextInFocusChain(), box(dialog, "Check2"));
        EXPECT_EQ(box(dialog, "Check2")->nextInFocusChain(), box(dialog, "Check3"));
        EXPECT_EQ(box(dialog, "Check3")->nextInFocusChain(), box(dialog, "Check4"));
        EXPECT_EQ(box(dialog, "Check4")->nextInFocusChain(), box(dialog, "Check5"));
        EXPECT_TRUE(dialog.timer().isActive());
        EXPECT_EQ(dialog.timer().interval(), 50);
        QTest::mouseClick(close_button(dialog), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(opened_);
}

TEST_F(HardwareCheckTest, TheBoxesDriveTheLinesWhichKeepTheirStateAfterwards) {
    port().clear();
    check_hardware([this](HardwareCheckDialog& dialog) {
        QTest::mouseClick(box(dialog, "Check2"), Qt::LeftButton);
        EXPECT_EQ(supply_toggles(), 1);
        EXPECT_TRUE(box(dialog, "Check2")->isChecked());
        QTest::mouseClick(box(dialog, "Check2"), Qt::LeftButton);
        EXPECT_EQ(supply_toggles(), 2);  // the supply is back where it was
        EXPECT_FALSE(box(dialog, "Check2")->isChecked());

        QTest::mouseClick(box(dialog, "Check3"), Qt::LeftButton);
        EXPECT_TRUE(port().rts());
        QTest::mouseClick(box(dialog, "Check3"), Qt::LeftButton);
        EXPECT_FALSE(port().rts());
        QTest::mouseClick(box(dialog, "Check4"), Qt::LeftButton);
        EXPECT_TRUE(port().dtr());
        QTest::mouseClick(box(dialog, "Check2"), Qt::LeftButton);
    });
    EXPECT_TRUE(port().dtr());  // nothing is reset when the dialog closes
    EXPECT_EQ(supply_toggles(), 3);
    EXPECT_TRUE(state.port_open);
}

TEST_F(HardwareCheckTest, DataInShowsWithinATickAndAClickSnapsBack) {
    check_hardware([this](HardwareCheckDialog& dialog) {
        QCheckBox* data_in = box(dialog, "Check5");
        box(dialog, "Check3")->setFocus();
        port().dsr_level = true;
        dialog.tick();
        EXPECT_TRUE(data_in->isChecked());
        EXPECT_EQ(dialog.focusWidget(), close_button(dialog));

        box(dialog, "Check4")->setFocus();
        QTest::mouseClick(data_in, Qt::LeftButton);
        EXPECT_TRUE(data_in->isChecked());  // the line still reads 1
        EXPECT_EQ(dialog.focusWidget(), close_button(dialog));

        port().dsr_level = false;
        dialog.tick();
        EXPECT_FALSE(data_in->isChecked());
        // The real timer reads the line too.
        port().dsr_level = true;
        QTRY_VERIFY_WITH_TIMEOUT(data_in->isChecked(), 2000);
    });
    EXPECT_TRUE(opened_);
}

TEST_F(HardwareCheckTest, AClosedPortOnlyReportsInTheStatusLine) {
    ports->close_port();
    check_hardware([](HardwareCheckDialog&) {});
    EXPECT_FALSE(opened_);
    EXPECT_EQ(text_of("label_status"), "Serial port 3 error!");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HardwareCheckTest, APortThatFailsInTheDialogIsReleased) {
    check_hardware([this](HardwareCheckDialog& dialog) {
        port().fail_after_changes = 0;
        QTest::mouseClick(box(dialog, "Check3"), Qt::LeftButton);
    });
    EXPECT_FALSE(state.port_open);
    EXPECT_FALSE(provider.is_open(3));
    EXPECT_EQ(text_of("label_status"), "Serial port COM3 error!");
}

}  // namespace
}  // namespace quillon

// The mouse wheel over the main window: three rows per wheel event in the active table.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "ui/memory_table.h"
#include "ui/theme_window.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class MouseWheelTest : public ::testing::Test, public WindowFixture {
  protected:
    QScrollBar* scrl1() { return find<QScrollBar>(QStringLiteral("scrl1")); }
    QScrollBar* scrl2() { return find<QScrollBar>(QStringLiteral("scrl2")); }

    // A wheel event of `notches` (negative: towards the user) sent to `target`, as the toolkit
    // delivers it to the control under the pointer.
    static void turn(QWidget* target, int notches) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    QWidget* flash_view() { return find<MemoryTable>(QStringLiteral("tabla_flash"))->viewport(); }
    QWidget* eeprom_view() { return find<MemoryTable>(QStringLiteral("tabla_eeprom"))->viewport(); }
};

TEST_F(MouseWheelTest, ThreeRowsPerEventWithinTheScrollRange) {
    load();
    EXPECT_EQ(settings.stored("Mouse Wheel Enabled").number, 1);  // stored when the window became active
    ASSERT_TRUE(window->wheel_hooked());
    ASSERT_EQ(window->active_table(), 1);

    turn(flash_view(), 1);  // away from the user at the top
    EXPECT_EQ(scrl1()->value(), 0);
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), 3);
    EXPECT_TRUE(find<MemoryTable>(QStringLiteral("tabla_flash"))->toPlainText().startsWith("000030:"));
    turn(flash_view(), -2);  // two notches in one event still move three rows
    EXPECT_EQ(scrl1()->value(), 6);
    turn(scrl1(), -1);  // over the scroll bar itself: no second scroll of its own
    EXPECT_EQ(scrl1()->value(), 9);
    window->MouseWheel(0, 1, 0, 0);
    EXPECT_EQ(scrl1()->value(), 6);

    scrl1()->setValue(scrl1()->maximum() - 1);
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), scrl1()->maximum());
}

TEST_F(MouseWheelTest, TheTableUnderThePointerIsTheOneThatScrolls) {
    load();
    QTest::mouseMove(eeprom_view());
    EXPECT_EQ(window->active_table(), 2);
    turn(eeprom_view(), -1);
    EXPECT_EQ(scrl2()->value(), 3);
    EXPECT_EQ(scrl1()->value(), 0);
    QTest::mouseMove(flash_view());
    EXPECT_EQ(window->active_table(), 1);
    turn(eeprom_view(), -1);  // the wheel follows the active table, wherever the event lands
    EXPECT_EQ(scrl1()->value(), 3);
    EXPECT_EQ(scrl2()->value(), 3);
}

TEST_F(MouseWheelTest, ATableWithoutRowsToScrollStaysAtZero) {
    settings.set_text_setting("Microcontroller Model", "3");  // no EEPROM
    load();
    QTest::mouseMove(eeprom_view());
    ASSERT_EQ(window->active_table(), 2);
    turn(eeprom_view(), -1);
    EXPECT_EQ(scrl2()->value(), 0);
}

TEST_F(MouseWheelTest, ScrollingEndsAnEditOfATableCellUntaken) {
    load();
    auto* flash = find<MemoryTable>(QStringLiteral("tabla_flash"));
    const QRect cell = flash->cell_rect({0, 2}).translated(-flash->viewport()->pos());
    QTest::mouseClick(flash->viewport(), Qt::RightButton, {}, cell.center());
    auto* box = find<QLineEdit>(QStringLiteral("unosbox"));
    ASSERT_TRUE(box->isVisible());
    QTest::keyClicks(box, QStringLiteral("5A"));
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), 3);
    EXPECT_FALSE(box->isVisible());
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(state.image.flash[2], 0xFF);
    EXPECT_EQ(state.image.flash[0x32], 0xFF);
}

TEST_F(MouseWheelTest, TheSettingZeroTurnsTheWheelOff) {
    settings.set_number_setting("Mouse Wheel Enabled", 0);
    load();
    EXPECT_FALSE(window->wheel_hooked());
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), 0);
}

TEST_F(MouseWheelTest, ActivatingTwiceLeavesOneInterception) {
    load();
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &activation);
    QApplication::sendEvent(window.get(), &activation);
    ASSERT_TRUE(window->wheel_hooked());
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), 3);
}

TEST_F(MouseWheelTest, NothingScrollsWhileADialogIsOpen) {
    load();
    bool hooked_during_dialog = true;
    QTimer::singleShot(0, window.get(), [this, &hooked_during_dialog] {
        auto* themes = qobject_cast<ThemeWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(themes, nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isActiveWindow(), 2000);
        hooked_during_dialog = window->wheel_hooked();
        turn(flash_view(), -1);
        EXPECT_EQ(scrl1()->value(), 0);
        themes->cancel();
    });
    find<QAction>(QStringLiteral("menucolors"))->trigger();
    EXPECT_FALSE(hooked_during_dialog);
    window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window->wheel_hooked(), 2000);
    turn(flash_view(), -1);
    EXPECT_EQ(scrl1()->value(), 3);
}

}  // namespace
}  // namespace quillon

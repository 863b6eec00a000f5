// Editing single locations in the main window, and the focus rules of its tables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "ui/memory_table.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class BufferEditWindowTest : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override { load(); }

    MemoryTable* table(bool flash) {
        return find<MemoryTable>(flash ? QStringLiteral("tabla_flash") : QStringLiteral("tabla_eeprom"));
    }
    QScrollBar* scroll(bool flash) {
        return find<QScrollBar>(flash ? QStringLiteral("scrl1") : QStringLiteral("scrl2"));
    }
    QLineEdit* box() { return find<QLineEdit>(QStringLiteral("unosbox")); }

    // The middle of character `column` of visible row `row`, found from the text's own layout.
    static QPoint character_point(MemoryTable& t, int row, int column) {
        const QTextBlock block = t.document()->findBlockByNumber(row);
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + column);
        const QRect left = t.cursorRect(cursor);
        cursor.setPosition(block.position() + column + 1);
        const QRect right = t.cursorRect(cursor);
        return {(left.x() + right.x()) / 2, left.center().y()};
    }
    static QPoint cell_point(MemoryTable& t, int row, int cell) {
        return character_point(t, row, t.shape().cells_start() + 3 * cell + 1);
    }

    void click(MemoryTable& t, QPoint at, Qt::MouseButton button) {
        QTest::mouseClick(t.viewport(), button, {}, at);
    }
    void move_over(MemoryTable& t) {
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), t.viewport()->mapToGlobal(QPointF(20, 20)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &move);
    }
    void type(const QString& text, Qt::Key end = Qt::Key_Return) {
        ASSERT_TRUE(box()->isVisible());
        ASSERT_TRUE(box()->hasFocus());
        QTest::keyClicks(box(), text);
        QTest::keyClick(box(), end);
        EXPECT_FALSE(box()->isVisible());
    }
    void edit_config(int index, const QString& text, Qt::Key end = Qt::Key_Return) {
        QTest::mouseClick(find<QLabel>(QStringLiteral("label_conf_%1").arg(index)), Qt::LeftButton);
        type(text, end);
    }
};

TEST_F(BufferEditWindowTest, ARightClickEditsTheCellUnderThePointerAtAnyScrollPosition) {
    for (const int s : {0, 5, 2040}) {
        scroll(true)->setValue(s);
        window->set_loaded_file(QStringLiteral("/tmp/a.hex"));
        click(*table(true), cell_point(*table(true), 1, 2), Qt::RightButton);
        type(QStringLiteral("ab"));
        const std::size_t address = static_cast<std::size_t>((1 + s) * 16 + 2);
        EXPECT_EQ(state.image.flash[address], 0xAB) << s;
        EXPECT_EQ(text_of("label_hex"), "");
        EXPECT_EQ(window->focusWidget(), scroll(true));
        EXPECT_NE(table(true)->toPlainText().split('\n')[1].indexOf(" AB"), -1);
    }
    // The last cell of the last row of the EEPROM table.
    scroll(false)->setValue(24);
    click(*table(false), cell_point(*table(false), 7, 7), Qt::RightButton);
    type(QStringLiteral("5"));
    EXPECT_EQ(state.image.eeprom[255], 0x05);
    EXPECT_EQ(window->focusWidget(), scroll(false));
}

TEST_F(BufferEditWindowTest, OnlyRightClicksOnByteCellsOpenTheBox) {
    MemoryTable& flash = *table(true);
    click(flash, character_point(flash, 0, 3), Qt::RightButton);  // address column
    EXPECT_FALSE(box()->isVisible());
    click(flash, character_point(flash, 0, 6), Qt::RightButton);  // the colon
    EXPECT_FALSE(box()->isVisible());
    click(flash, cell_point(flash, 0, 15) + QPoint(40, 0), Qt::RightButton);  // right of the last cell
    EXPECT_FALSE(box()->isVisible());
    click(flash, cell_point(flash, 3, 3), Qt::LeftButton);
    EXPECT_FALSE(box()->isVisible());
    EXPECT_EQ(window->focusWidget(), scroll(true));               // no caret is left in the table
    click(flash, character_point(flash, 0, 7), Qt::RightButton);  // the blank before the first byte
    EXPECT_TRUE(box()->isVisible());
    QTest::keyClick(box(), Qt::Key_Escape);

    // Rows that the memory does not have: the tiny model has four.
    WindowFixture tiny;
    tiny.settings.set_text_setting("Microcontroller Model", "4");
    tiny.load();
    MemoryTable& small = *tiny.find<MemoryTable>(QStringLiteral("tabla_flash"));
    ASSERT_EQ(small.document()->blockCount(), 4);
    const QPoint last_row = cell_point(small, 3, 0);
    QTest::mouseClick(small.viewport(), Qt::RightButton, {}, last_row + QPoint(0, 3 * small.row_height()));
    EXPECT_FALSE(tiny.find<QLineEdit>(QStringLiteral("unosbox"))->isVisible());
}

TEST_F(BufferEditWindowTest, EntriesAreTakenByTheirLastFourDigits) {
    const std::pair<const char*, int> taken[] = {
        {"ff", 255}, {"FF", 255}, {"0ff", 255}, {"F", 15}, {"1200FF", 255}};
    for (const auto& [entry, value] : taken) {
        state.image.config(1) = 0x11;
        edit_config(0, QString::fromLatin1(entry));
        EXPECT_EQ(state.image.config(1), value) << entry;
        EXPECT_EQ(text_of("label_conf_0"), QString::fromStdString(value == 15 ? "0F" : "FF"));
    }
    for (const char* entry : {"100", "G1", "1FF", "12FF00", ""}) {
        state.image.config(14) = 0x40;
        window->set_loaded_file(QStringLiteral("/tmp/a.hex"));
        edit_config(13, QString::fromLatin1(entry));
        EXPECT_EQ(state.image.config(14), 0x40) << entry;
        EXPECT_EQ(text_of("label_hex"), "/tmp/a.hex") << entry;
    }
    EXPECT_TRUE(dialogs.messages.empty());  // refused without a message
}

TEST_F(BufferEditWindowTest, EscapeAndLeavingTheBoxKeepEverything) {
    window->set_loaded_file(QStringLiteral("/tmp/a.hex"));
    const MemoryImage before = state.image;
    edit_config(4, QStringLiteral("12"), Qt::Key_Escape);
    click(*table(false), cell_point(*table(false), 0, 0), Qt::RightButton);
    type(QStringLiteral("34"), Qt::Key_Escape);
    EXPECT_EQ(window->focusWidget(), scroll(false));

    click(*table(true), cell_point(*table(true), 2, 2), Qt::RightButton);
    QTest::keyClicks(box(), QStringLiteral("56"));
    scroll(false)->setFocus();  // the box loses the focus
    EXPECT_FALSE(box()->isVisible());
    EXPECT_EQ(window->focusWidget(), scroll(false));

    EXPECT_EQ(state.image.flash, before.flash);
    EXPECT_EQ(state.image.eeprom, before.eeprom);
    EXPECT_EQ(state.image.config, before.config);
    EXPECT_EQ(text_of("label_hex"), "/tmp/a.hex");
}

TEST_F(BufferEditWindowTest, NothingCanBeEditedWhileAnOperationRuns) {
    window->disable();
    click(*table(true), cell_point(*table(true), 0, 0), Qt::RightButton);
    EXPECT_FALSE(box()->isVisible());
    QTest::mouseClick(find<QLabel>(QStringLiteral("label_conf_0")), Qt::LeftButton);
    EXPECT_FALSE(box()->isVisible());
    window->enable();
    QTest::mouseClick(find<QLabel>(QStringLiteral("label_conf_0")), Qt::LeftButton);
    EXPECT_TRUE(box()->isVisible());
}

TEST_F(BufferEditWindowTest, ThePointerOverATableMakesItTheOneTheWheelScrolls) {
    EXPECT_EQ(window->active_table(), 1);
    move_over(*table(false));
    EXPECT_EQ(window->active_table(), 2);
    EXPECT_EQ(window->focusWidget(), scroll(false));
    move_over(*table(false));
    EXPECT_EQ(window->active_table(), 2);
    move_over(*table(true));
    EXPECT_EQ(window->active_table(), 1);

    // A pointer wandering over the other table does not take the focus from an open edit box.
    click(*table(true), cell_point(*table(true), 0, 0), Qt::RightButton);
    move_over(*table(false));
    EXPECT_TRUE(box()->hasFocus());
    QTest::keyClick(box(), Qt::Key_Escape);

    // A click on the window's background gives the FLASH table's scroll bar the focus.
    scroll(false)->setFocus();
    QTest::mouseClick(find<QWidget>(QStringLiteral("client")), Qt::LeftButton, {}, QPoint(460, 300));
    EXPECT_EQ(window->focusWidget(), scroll(true));
    EXPECT_EQ(window->active_table(), 1);
}

TEST_F(BufferEditWindowTest, TheBoxCoversTheEditedCell) {
    MemoryTable& flash = *table(true);
    const QPoint at = cell_point(flash, 4, 9);
    click(flash, at, Qt::RightButton);
    const QRect cover = box()->geometry();
    const QPoint in_window = flash.viewport()->mapTo(find<QWidget>(QStringLiteral("client")), at);
    EXPECT_TRUE(cover.contains(in_window));
    EXPECT_LE(cover.width(), 3 * QFontMetrics(flash.font()).horizontalAdvance(QLatin1Char('0')) + 1);
    QTest::keyClick(box(), Qt::Key_Escape);
}

}  // namespace
}  // namespace quillon

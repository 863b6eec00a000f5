#include "ui/memory_table.h"

#include <gtest/gtest.h>

#include <QTextBlock>

#include "model/app_state.h"

namespace quillon {
namespace {

// The middle of character `column` of row `row`, from the text layout.
QPoint character_point(const MemoryTable& table, int row, int column) {
    const QTextBlock block = table.document()->findBlockByNumber(row);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + column);
    const QRect left = table.cursorRect(cursor);
    cursor.setPosition(block.position() + column + 1);
    return {(left.x() + table.cursorRect(cursor).x()) / 2, left.center().y()};
}

// A table squeezed well below its normal size, as on a screen with larger fonts than the window.
struct SqueezedTable : ::testing::Test {
    SqueezedTable() : table(kFlashShape, nullptr) {
        table.setGeometry(0, 0, 330, 80);
        table.show();
        table.fit_rows();
        AppState state;
        state.flash_size = 256;
        state.image.flash.assign(256, 0xA5);
        table.set_rows(QString::fromStdString(flash_table_text(state, 0)));
    }
    MemoryTable table;
};

TEST_F(SqueezedTable, StillShowsEightFullRows) {
    EXPECT_EQ(table.document()->blockCount(), 8);
    EXPECT_LE(table.document()->size().height(), table.viewport()->height());
    EXPECT_LE(table.document()->idealWidth(), table.viewport()->width());
}

TEST_F(SqueezedTable, MapsEveryCellFromItsOwnLayout) {
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 16; ++column) {
            for (int part = 0; part < 3; ++part) {  // the blank and both digits belong to the cell
                const QPoint at = character_point(table, row, 7 + 3 * column + part);
                ASSERT_EQ(table.cell_at(at), (TableCell{row, column})) << row << " " << column << " " << part;
            }
            const QRect cover = table.cell_rect({row, column}).translated(-table.viewport()->pos());
            EXPECT_TRUE(cover.contains(character_point(table, row, 7 + 3 * column + 1)));
        }
        EXPECT_EQ(table.cell_at(character_point(table, row, 0)), std::nullopt);
        EXPECT_EQ(table.cell_at(character_point(table, row, 6)), std::nullopt);
    }
    const QPoint last = character_point(table, 7, 54);
    EXPECT_EQ(table.cell_at(last + QPoint(0, table.row_height())), std::nullopt);  // below the last row
    EXPECT_EQ(table.cell_at(last + QPoint(10, 0)), std::nullopt);                  // right of the last cell
}

}  // namespace
}  // namespace quillon

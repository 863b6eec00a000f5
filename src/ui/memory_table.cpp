#include "ui/memory_table.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "ui/theme_paint.h"
#include "ui/ui_fonts.h"

namespace quillon {

namespace {

constexpr int kDocumentMargin = 2;
constexpr int kSmallestPixelSize = 6;

}  // namespace

MemoryTable::MemoryTable(TableShape shape, QWidget* parent) : QTextEdit(parent), shape_(shape) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::ClickFocus);
    setLineWrapMode(QTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(kDocumentMargin);
    viewport()->setCursor(Qt::ArrowCursor);
    viewport()->setMouseTracking(true);
    paint_white_field(*this);
    setFont(table_font());
}

void MemoryTable::fit_rows() {
    // The frame's inside, which the viewport fills once laid out (scroll bars are always off).
    const QRect inside = contentsRect();
    const int width = inside.width() - 2 * kDocumentMargin;
    const int rows_height = inside.height() - 2 * kDocumentMargin;
    const QString full_row(shape_.row_length(), QLatin1Char('0'));
    QFont fitted = table_font();
    for (;;) {
        const QFontMetrics metrics(fitted);
        // A row needs the digits' full height; the spacing below them may be given up.
        const int per_row = rows_height / kVisibleRows;
        const bool fits = metrics.horizontalAdvance(full_row) < width && metrics.ascent() + 1 <= per_row;
        const int pixel_size = fitted.pixelSize() > 0 ? fitted.pixelSize() : QFontInfo(fitted).pixelSize();
        if (fits || pixel_size <= kSmallestPixelSize) {
            row_height_ = std::max(std::min(metrics.lineSpacing(), per_row), 1);
            break;
        }
        fitted.setPixelSize(pixel_size - 1);
    }
    setFont(fitted);
    apply_row_height();
}

void MemoryTable::set_rows(const QString& text) {
    QString rows = text;
    rows.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(rows);
    apply_row_height();
}

void MemoryTable::apply_row_height() {
    if (row_height_ <= 0) return;
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setLineHeight(row_height_, QTextBlockFormat::FixedHeight);
    all.mergeBlockFormat(format);
    verticalScrollBar()->setValue(0);
}

int MemoryTable::char_x(const QTextBlock& block, int position) const {
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(position, 0, block.length() - 1));
    return cursorRect(cursor).x();
}

std::optional<TableCell> MemoryTable::cell_at(QPoint viewport_point) const {
    const QTextCursor nearest = cursorForPosition(viewport_point);
    const QTextBlock block = nearest.block();
    if (!block.isValid()) return std::nullopt;
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF row_box =
        document()->documentLayout()->blockBoundingRect(block).translated(-offset.x(), -offset.y());
    if (viewport_point.y() < row_box.top() || viewport_point.y() >= row_box.bottom()) return std::nullopt;

    // The cursor sits at the boundary nearest the pointer; the character under the pointer is the
    // one before that boundary when the pointer is left of it.
    int character = nearest.positionInBlock();
    if (character > 0 && viewport_point.x() < cursorRect(nearest).x()) --character;
    const int line_end = block.length() - 1;
    if (character >= line_end || viewport_point.x() >= char_x(block, line_end)) return std::nullopt;
    if (viewport_point.x() < char_x(block, 0)) return std::nullopt;

    const int in_cells = character - shape_.cells_start();
    if (in_cells < 0) return std::nullopt;
    const int column = in_cells / 3;
    if (column >= shape_.bytes_per_row) return std::nullopt;
    return TableCell{block.blockNumber(), column};
}

QRect MemoryTable::cell_rect(TableCell cell) const {
    const QTextBlock block = document()->findBlockByNumber(cell.row);
    if (!block.isValid()) return {};
    const int first = shape_.cells_start() + 3 * cell.column;
    const int left = char_x(block, first);
    const int right = char_x(block, first + 3);
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF row_box =
        document()->documentLayout()->blockBoundingRect(block).translated(-offset.x(), -offset.y());
    const QRect in_viewport(left, static_cast<int>(row_box.top()), right - left, row_height_);
    return in_viewport.translated(viewport()->geometry().topLeft());
}

}  // namespace quillon

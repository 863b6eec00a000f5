#pragma once

#include <QTextEdit>
#include <optional>

#include "ui/buffer_view.h"

namespace quillon {

// A cell of a memory table: visible row 0..7 and byte column of that row.
struct TableCell {
    int row = 0;
    int column = 0;
    bool operator==(const TableCell&) const = default;
};

// One of the two hexadecimal tables of the main window: eight rows in a fixed-pitch font, shown,
// never typed into. Clicks are mapped to cells through the text layout itself, so the mapping is
// right for whatever font and screen resolution are in use.
class MemoryTable final : public QTextEdit {
    Q_OBJECT

  public:
    MemoryTable(TableShape shape, QWidget* parent);

    TableShape shape() const { return shape_; }

    // Replaces the rows (CR LF or LF between them).
    void set_rows(const QString& text);

    // Fits the font and the row spacing so that eight full rows show at the current size: the
    // row spacing shrinks to what eight rows leave, and the font shrinks only when even that is
    // not enough. Call after every change of size or screen.
    void fit_rows();

    // The cell under a point of the viewport, if the point is on one of its byte cells (not on
    // the address column, not right of the last cell, not below the last row).
    std::optional<TableCell> cell_at(QPoint viewport_point) const;

    // Where a cell is drawn (its blank and two digits), in this widget's coordinates.
    QRect cell_rect(TableCell cell) const;

    int row_height() const { return row_height_; }

  private:
    void apply_row_height();
    int char_x(const QTextBlock& block, int position) const;

    TableShape shape_;
    int row_height_ = 0;
};

}  // namespace quillon

// In-place editing of single locations, the focus rules of the tables, and label clicks.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

#include "model/app_state.h"
#include "ui/main_window_controls.h"
#include "ui/memory_table.h"

namespace quillon {

QScrollBar& MainWindow::scroll_of(const MemoryTable& table) const {
    return &table == ui_->tabla_eeprom ? *ui_->scrl2 : *ui_->scrl1;
}

QScrollBar& MainWindow::edit_scroll() const {
    return edit_target_ == EditTarget::Eeprom ? *ui_->scrl2 : *ui_->scrl1;
}

void MainWindow::start_table_edit(MemoryTable& table, QPoint viewport_point) {
    pump_.paint_now();
    const std::optional<TableCell> cell = table.cell_at(viewport_point);
    if (!cell) return;
    const bool flash = &table == ui_->tabla_flash;
    const TableShape shape = table.shape();
    const std::int64_t address =
        (static_cast<std::int64_t>(cell->row) + scroll_of(table).value()) * shape.bytes_per_row +
        cell->column;
    if (address >= (flash ? state_.flash_size : state_.eeprom_size)) return;

    edit_address_ = static_cast<std::int32_t>(address);
    // The box covers the cell, as tall as itself and centred on the row.
    const QRect cell_box = table.cell_rect(*cell).translated(table.pos());
    QLineEdit& box = *ui_->unosbox;
    const int height = box.height();
    box.setGeometry(cell_box.x(), cell_box.center().y() - height / 2 + 1, cell_box.width(), height);
    box.clear();
    edit_pending_ = true;
    edit_target_ = flash ? EditTarget::Flash : EditTarget::Eeprom;
    table_focused(table);
}

void MainWindow::table_focused(MemoryTable& table) {
    // A table never keeps the focus; it passes it to its scroll bar, or to the edit box that a
    // right click has just placed over one of its cells.
    scroll_of(table).setFocus(Qt::OtherFocusReason);
    if (!edit_pending_) return;
    edit_pending_ = false;
    editing_ = true;
    ui_->unosbox->show();
    ui_->unosbox->raise();
    ui_->unosbox->setFocus(Qt::OtherFocusReason);
}

void MainWindow::start_config_edit(int index) {
    const QLabel& cell = *ui_->label_conf.at(static_cast<std::size_t>(index));
    QLineEdit& box = *ui_->unosbox;
    edit_address_ = index + 1;
    box.setGeometry(cell.x(), cell.y(), cell.width(), box.height());
    box.clear();
    editing_ = true;
    box.show();
    box.raise();
    box.setFocus(Qt::OtherFocusReason);
    edit_target_ = EditTarget::Config;
}

void MainWindow::finish_edit(bool take_entry) {
    if (!editing_) return;
    editing_ = false;
    QLineEdit& box = *ui_->unosbox;
    if (take_entry) {
        if (const std::optional<std::uint8_t> value = parse_edit_entry(box.text().toStdString())) {
            edit_scroll().setFocus(Qt::OtherFocusReason);
            if (store_edit(state_, edit_target_, edit_address_, *value)) {
                updatedisplay();
                set_loaded_file({});  // the image no longer matches a loaded file
            }
        }
    }
    edit_scroll().setFocus(Qt::OtherFocusReason);
    box.hide();
}

void MainWindow::drop_edit_on_focus_loss() {
    if (!editing_) return;
    editing_ = false;
    ui_->unosbox->hide();
    // Where the focus went somewhere on purpose (a click, Tab) it stays there.
    QWidget* now = QApplication::focusWidget();
    if (now == nullptr || now == ui_->unosbox) edit_scroll().setFocus(Qt::OtherFocusReason);
}

bool MainWindow::label_clicked(QObject* label) {
    const Controls& ui = *ui_;
    for (int i = 0; i < kConfigCells; ++i) {
        if (label == ui.label_conf[static_cast<std::size_t>(i)]) {
            start_config_edit(i);
            return true;
        }
    }
    if (label == ui.label7 || label == ui.label_hex) {
        menuopen();
        return true;
    }
    if (label == ui.label1 || label == ui.label_ime || label == ui.label_info) {
        menumodel();
        return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    Controls& ui = *ui_;
    const bool on_flash = watched == ui.tabla_flash->viewport();
    const bool on_eeprom = watched == ui.tabla_eeprom->viewport();
    switch (event->type()) {
        case QEvent::FocusIn:
            if (watched == ui.scrl1) active_table_ = 1;
            if (watched == ui.scrl2) active_table_ = 2;
            if (watched == ui.tabla_flash) table_focused(*ui.tabla_flash);
            if (watched == ui.tabla_eeprom) table_focused(*ui.tabla_eeprom);
            break;
        case QEvent::FocusOut:
            if (watched == ui.unosbox) drop_edit_on_focus_loss();
            break;
        case QEvent::MouseMove:
            // The wheel follows the pointer: moving over the other table makes it the active one.
            // An open edit box keeps the focus, so a stray pointer move never drops what is typed.
            if (editing_) break;
            if (on_flash && active_table_ == 2) ui.scrl1->setFocus(Qt::MouseFocusReason);
            if (on_eeprom && active_table_ == 1) ui.scrl2->setFocus(Qt::MouseFocusReason);
            break;
        case QEvent::MouseButtonPress:
            if (watched == ui.central) ui.scrl1->setFocus(Qt::MouseFocusReason);
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // While an operation runs the buffers must not change under it.
            if (busy_) break;
            if ((on_flash || on_eeprom) && mouse->button() == Qt::RightButton) {
                start_table_edit(on_flash ? *ui.tabla_flash : *ui.tabla_eeprom, mouse->position().toPoint());
                return true;
            }
            if (mouse->button() == Qt::LeftButton && qobject_cast<QLabel*>(watched) != nullptr &&
                static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
                if (label_clicked(watched)) return true;
            }
            break;
        }
        case QEvent::KeyPress:
            if (watched == ui.unosbox) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    finish_edit(true);
                    return true;
                }
                if (key == Qt::Key_Escape) {
                    finish_edit(false);
                    return true;
                }
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace quillon

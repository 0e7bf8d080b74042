#include "ui/entry_table.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QToolTip>

namespace its90::ui {

QString EntryTable::refusal() { return QStringLiteral("此列为计算结果，不能输入"); }

bool EntryTable::takes_input(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return false;
    if (isColumnHidden(column) || isRowHidden(row) || cellWidget(row, column) != nullptr) return false;
    const QTableWidgetItem* cell = item(row, column);
    return cell == nullptr || (cell->flags() & Qt::ItemIsEditable) != 0;
}

QModelIndex EntryTable::next_input(int row, int column, bool forward) const {
    const int columns = columnCount();
    const int cells = rowCount() * columns;
    for (int at = row * columns + column + (forward ? 1 : -1); at >= 0 && at < cells; at += forward ? 1 : -1) {
        if (takes_input(at / columns, at % columns)) return model()->index(at / columns, at % columns);
    }
    return {};
}

QModelIndex EntryTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveNext && action != MovePrevious) return QTableWidget::moveCursor(action, modifiers);
    const QModelIndex current = currentIndex();
    const bool forward = action == MoveNext;
    if (!current.isValid()) return next_input(forward ? 0 : rowCount(), forward ? -1 : 0, forward);
    // None after the last: the focus leaves the table.
    return next_input(current.row(), current.column(), forward);
}

int EntryTable::paste(const QString& text) {
    const QModelIndex start = currentIndex();
    if (!start.isValid()) return 0;
    QString block = text;
    block.remove(QLatin1Char('\r'));
    QStringList lines = block.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();  // a spreadsheet's last line end
    int set = 0;
    int row = start.row();
    for (const QString& line : lines) {
        // Computed rows are passed over: each line of the block fills the next row that takes input.
        while (row < rowCount() && !takes_input(row, start.column())) ++row;
        if (row >= rowCount()) break;
        int column = start.column();
        for (const QString& value : line.split(QLatin1Char('\t'))) {
            while (column < columnCount() && !takes_input(row, column)) ++column;
            if (column >= columnCount()) break;
            QTableWidgetItem* cell = item(row, column);
            if (cell == nullptr) setItem(row, column, cell = new QTableWidgetItem);
            cell->setText(value.trimmed());
            ++set;
            ++column;
        }
        ++row;
    }
    return set;
}

void EntryTable::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && state() != EditingState) {
        paste(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    const QModelIndex current = currentIndex();
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (typing && current.isValid() && !takes_input(current.row(), current.column())) {
        QApplication::beep();
        QToolTip::showText(viewport()->mapToGlobal(visualRect(current).bottomLeft()), refusal(), viewport());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace its90::ui

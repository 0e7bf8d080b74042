// A table that the user types into, where some columns are computed: Tab and Shift+Tab go
// from one cell that takes input to the next (t, R, the next row's t …) and leave the table
// after the last; a key typed on a computed cell is refused aloud (a beep and a tip at the
// cell), never swallowed; a block pasted from a spreadsheet (tab- and newline-separated)
// fills the cells that take input from the current one on, down and to the right.
#pragma once

#include <QTableWidget>

namespace its90::ui {

class EntryTable : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;

    // Whether a cell takes typed input: an item that can be edited (a cell without an item is
    // an empty one that can).
    bool takes_input(int row, int column) const;
    // Pastes `text` at the current cell; returns how many cells it set.
    int paste(const QString& text);

    // The tip shown at a computed cell that was typed on.
    static QString refusal();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The next (or previous) cell that takes input after (row, column), in reading order;
    // invalid where there is none.
    QModelIndex next_input(int row, int column, bool forward) const;
};

}  // namespace its90::ui

#include "message_box.h"

#include <QMessageBox>

namespace its90::ui {

void ModalMessageBox::show_range_message(const QString& text) {
    QMessageBox box(parent_);
    box.setIcon(QMessageBox::NoIcon);
    // An empty title would make the window manager show the program's name.
    box.setWindowTitle(QStringLiteral(" "));
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace its90::ui

#include "message_box.h"

#include <QMessageBox>

namespace its90::ui {

void ModalMessageBox::show_range_message(const QString& text) {
    QMessageBox box(parent_);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QString());
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace its90::ui

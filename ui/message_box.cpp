#include "ui/message_box.h"

#include <QMessageBox>
#include <QString>

namespace its90::ui {

void ModalMessageBox::show_range_message(std::string_view text) {
    QMessageBox box(parent_);
    box.setIcon(QMessageBox::NoIcon);
    // An empty title would make the window manager show the program's name.
    box.setWindowTitle(QStringLiteral(" "));
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace its90::ui

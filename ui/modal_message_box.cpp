#include "ui/modal_message_box.h"

#include <QMessageBox>
#include <QString>

namespace its90::ui {

void show_modal_message(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(parent);
    box.setIcon(icon);
    // An empty title would make the window manager show the program's name.
    box.setWindowTitle(QStringLiteral(" "));
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void ModalMessageBox::show_range_message(std::string_view text) {
    show_modal_message(parent_, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace its90::ui

// The window's range message: a modal QMessageBox with the text and a single OK button.
#pragma once

#include <QMessageBox>
#include <QString>

#include "form/message_box.h"

class QWidget;

namespace its90::ui {

// A modal box over `parent` with the text, a single OK button and a title that reads blank;
// returns once the user has closed it.
void show_modal_message(QWidget* parent, const QString& text,
                        QMessageBox::Icon icon = QMessageBox::NoIcon);

// No icon, and a title that reads blank.
class ModalMessageBox final : public form::MessageBox {
public:
    explicit ModalMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show_range_message(std::string_view text) override;

private:
    QWidget* parent_;
};

}  // namespace its90::ui

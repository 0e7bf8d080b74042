// The window's range message: a modal QMessageBox with the text and a single OK button.
#pragma once

#include "form/message_box.h"

class QWidget;

namespace its90::ui {

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

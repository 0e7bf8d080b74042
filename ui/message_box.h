// The one way the window shows a range message: modally, with an OK button.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace its90::ui {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` and returns once the user has closed the box.
    virtual void show_range_message(const QString& text) = 0;
};

// A QMessageBox with the text, a single OK button, no icon and a title that reads blank.
class ModalMessageBox final : public MessageBox {
public:
    explicit ModalMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    void show_range_message(const QString& text) override;

private:
    QWidget* parent_;
};

// Keeps the texts instead of showing them: for tests, fuzzing and benchmarks, which must
// never block on a modal box.
class RecordingMessageBox final : public MessageBox {
public:
    void show_range_message(const QString& text) override { texts << text; }
    QStringList texts;
};

}  // namespace its90::ui

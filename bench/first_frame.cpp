#include "bench/first_frame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace its90::ui {
namespace {

class FirstFrameWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint has reached the screen's backing store.
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void quit_after_first_frame(QWidget* window) {
    window->installEventFilter(new FirstFrameWatcher(window));
}

}  // namespace its90::ui

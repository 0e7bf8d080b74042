// The baseline of the start-up benchmark: a bare QWidget of the calculator window's size,
// started and shown the same way, ending at its first painted frame.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "bench/first_frame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(458, 496);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - QPoint(229, 248));
    }
    its90::ui::quit_after_first_frame(&window);
    window.show();
    return QApplication::exec();
}

#include "ui/calculator.h"

#include "ui/certificate_page.h"

#include <QApplication>
#include <QTimer>

#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/modal_message_box.h"

namespace its90::ui {

int run_calculator(int argc, char** argv, const std::function<void(MainWindow&)>& before_start) {
    // Qt's file dialog dates its files by the system's time locale, read once at start-up: the
    // window is Chinese, so are its dialogs' dates ("2026/12/9", not "9 Dec"), unless the user
    // has set every category. Times only: the numbers' separator stays the user's.
    if (qEnvironmentVariableIsEmpty("LC_ALL")) qputenv("LC_TIME", "zh_CN.UTF-8");
    if (const std::optional<int> status = export_without_window(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName("its90-calculator");
    install_font_substitutions();
    install_chinese_translations();

    ModalMessageBox message_box;
    MainWindow window(message_box);
    message_box.set_parent(&window);
    if (before_start) before_start(window);
    window.start();
    // Once the window is up: a run of readings cut short last time is offered first.
    QTimer::singleShot(0, &window, [&window] { window.offer_unfinished_run(); });
    return QApplication::exec();
}

}  // namespace its90::ui

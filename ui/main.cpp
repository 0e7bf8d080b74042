#include <QApplication>
#include <cstring>

#include "ui/first_frame.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/modal_message_box.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("its90-calculator");
    its90::ui::install_font_substitutions();
    its90::ui::install_chinese_translations();

    its90::ui::ModalMessageBox message_box;
    its90::ui::MainWindow form(message_box);
    message_box.set_parent(&form);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exit-after-first-frame") == 0) {
            its90::ui::quit_after_first_frame(&form);
        }
    }
    form.start();
    return QApplication::exec();
}

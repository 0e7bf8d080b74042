// The start-up benchmark's calculator: the program as it runs, ending at its first frame.
#include "bench/first_frame.h"
#include "ui/calculator.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    return its90::ui::run_calculator(argc, argv, [](its90::ui::MainWindow& window) {
        its90::ui::quit_after_first_frame(&window);
    });
}

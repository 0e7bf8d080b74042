// The calculator program: the application, its fonts and translations, the window with its
// modal box, started and run until the user closes it.
#pragma once

#include <functional>

namespace its90::ui {

class MainWindow;

// Runs the program; `before_start`, when given, sees the window before it is shown (the
// start-up benchmark's probe ends the run at its first frame). Returns the exit status.
int run_calculator(int argc, char** argv,
                   const std::function<void(MainWindow&)>& before_start = {});

}  // namespace its90::ui

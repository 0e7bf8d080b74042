#pragma once

class QWidget;

namespace its90::ui {

// Ends the application's event loop once `window` has painted its first frame; for timing
// the start-up (calculator_probe, bare_window_probe).
void quit_after_first_frame(QWidget* window);

}  // namespace its90::ui

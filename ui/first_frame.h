#pragma once

class QWidget;

namespace its90::ui {

// Ends the application's event loop once `window` has painted its first frame; for timing
// the start-up (`its90-calculator --exit-after-first-frame`).
void quit_after_first_frame(QWidget* window);

}  // namespace its90::ui

// What the window needs of the desktop before it is built: faces for the Windows fonts it
// names, and Qt's own texts in Chinese.
#pragma once

#include <QSize>

class QString;
class QWidget;

namespace its90::ui {

// The window names the Windows faces 宋体 (Song) and 隶书 (clerical script). Maps both once to
// faces that Debian ships, chosen so that every caption fits its control.
void install_font_substitutions();

// Loads Qt's Simplified Chinese translations, whatever the user's locale, so that the standard
// buttons read "确定". Returns false where they are not installed (the buttons stay English).
bool install_chinese_translations();

// A tool window beside the calculator (comparison, budget, resistance thermometers): its
// object name, its title, and the calculator's 10.5 pt 宋体 for everything in it.
void dress_tool_window(QWidget& window, const QString& object_name, const QString& title);
// Sizes a tool window to `wished`, but never beyond its screen's available area with room
// for the window manager's title bar and borders, and keeps it on that area when shown.
void fit_on_screen(QWidget& window, QSize wished);

}  // namespace its90::ui

// What the window needs of the desktop before it is built: faces for the Windows fonts it
// names, and Qt's own texts in Chinese.
#pragma once

namespace its90::ui {

// The window names the Windows faces 宋体 (Song) and 隶书 (clerical script). Maps both once to
// faces that Debian ships, chosen so that every caption fits its control.
void install_font_substitutions();

// Loads Qt's Simplified Chinese translations, whatever the user's locale, so that the standard
// buttons read "确定". Returns false where they are not installed (the buttons stay English).
bool install_chinese_translations();

}  // namespace its90::ui

#pragma once

namespace its90::ui {

// The window names the Windows faces 宋体 (Song) and 隶书 (clerical script). Maps them once
// to faces that Debian ships: a Song face for 宋体 and the closest brush face for 隶书.
void install_font_substitutions();

}  // namespace its90::ui

#include "ui/fonts.h"

#include <QFont>
#include <QStringList>

namespace its90::ui {

void install_font_substitutions() {
    QFont::insertSubstitutions(QString::fromUtf8("宋体"),
                               {"Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC"});
    QFont::insertSubstitutions(QString::fromUtf8("隶书"),
                               {"AR PL UKai CN", "Noto Serif CJK SC", "Noto Sans CJK SC"});
}

}  // namespace its90::ui

#include "ui/fonts.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <QWidget>

namespace its90::ui {

// AR PL UMing CN is a Ming (Song) face drawn to 宋体's metrics: a 16 px line at 12 pt with
// half-width Latin (8 px a letter), so the layout's 17 px labels hold their captions. It is
// also the face in which the vertical heading's five characters, 14.25 pt bold, fit its
// 25 x 101 px (AR PL UKai CN, the brush face nearest to 隶书, needs 105 px there). The Noto
// faces are fallbacks: their lines are 23 px at 12 pt and their Latin is proportional.
void install_font_substitutions() {
    const QStringList song = {"AR PL UMing CN", "Noto Serif CJK SC", "Noto Sans CJK SC"};
    QFont::insertSubstitutions(QString::fromUtf8("宋体"), song);
    QFont::insertSubstitutions(QString::fromUtf8("隶书"), song);
}

bool install_chinese_translations() {
    // Lives as long as the application, which keeps a pointer to it.
    static QTranslator* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void dress_tool_window(QWidget& window, const QString& object_name, const QString& title) {
    window.setObjectName(object_name);
    window.setWindowTitle(title);
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    window.setFont(font);
}

}  // namespace its90::ui

#include "ui/fonts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <cstring>

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

namespace {

// What Debian's Qt catalog leaves in English: the file dialog's type column.
class MissingChineseWords final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override {
        static const struct {
            const char* context;
            const char* source;
            const char* chinese;
        } kWords[] = {{"QAbstractFileIconProvider", "Folder", "文件夹"},
                      {"QAbstractFileIconProvider", "File", "文件"},
                      {"QAbstractFileIconProvider", "%1 File", "%1 文件"},
                      {"QAbstractFileIconProvider", "Drive", "驱动器"},
                      {"QAbstractFileIconProvider", "Computer", "计算机"},
                      {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
                      {"QAbstractFileIconProvider", "Alias", "别名"}};
        for (const auto& w : kWords) {
            if (std::strcmp(context, w.context) == 0 && std::strcmp(source, w.source) == 0) return QString::fromUtf8(w.chinese);
        }
        return {};
    }
};

}  // namespace

bool install_chinese_translations() {
    // Dates, month names and numbers in Qt's own dialogs as a Chinese desktop shows them
    // ("12月9日", not "9 Dec"), whatever the machine's locale; the window's numbers keep '.'.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Lives as long as the application, which keeps a pointer to it.
    static QTranslator* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    static QTranslator* gaps = new MissingChineseWords(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator) && QCoreApplication::installTranslator(gaps);
}

namespace {

// Room for a title bar and borders, for as long as the window manager has not framed the window.
const QSize kFrameAllowance(16, 48);

QRect available_area(const QWidget& window) {
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Moves a window that is shown back onto its screen's available area, frame and all.
class KeepOnScreen final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QMetaObject::invokeMethod(this, [window] { keep(*window); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static void keep(QWidget& window) {
        const QRect area = available_area(window);
        if (area.isEmpty()) return;
        const QRect frame = window.frameGeometry();
        const QSize outside = frame.size() == window.size() ? frame.size() + kFrameAllowance : frame.size();
        QPoint at = frame.topLeft();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outside.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outside.height())));
        if (at != frame.topLeft()) window.move(at);
    }
};

}  // namespace

void fit_on_screen(QWidget& window, QSize wished) {
    const QRect area = available_area(window);
    window.resize(area.isEmpty() ? wished : wished.boundedTo(area.size() - kFrameAllowance));
    window.installEventFilter(new KeepOnScreen(&window));
}

void dress_tool_window(QWidget& window, const QString& object_name, const QString& title) {
    window.setObjectName(object_name);
    window.setWindowTitle(title);
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    window.setFont(font);
}

}  // namespace its90::ui

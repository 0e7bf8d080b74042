#include "tests/ui/window_fixture.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "ui/fonts.h"

namespace its90::ui::testing {

namespace {
QTemporaryDir* books = nullptr;  // the run's books, one a test
int book_count = 0;
}  // namespace

QString fresh_book() {
    const QString path = books->filePath(QStringLiteral("book-%1.sqlite").arg(++book_count));
    qputenv("ITS90_BOOK", path.toLocal8Bit());
    return path;
}

void WindowTest::SetUp() {
    // Every test keeps its records in a book of its own, never in the user's.
    fresh_book();
    form = std::make_unique<MainWindow>(messages, ".");
    form->start();
    form->Timer1().stop();  // the title scroll is driven by hand in tests
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Qt may hand the focus over only once the window is active.
    if (!box(T1(0))->hasFocus()) box(T1(0))->setFocus(Qt::OtherFocusReason);
}

void WindowTest::TearDown() { form.reset(); }

void WindowTest::focus(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(widget->hasFocus()) << widget->objectName().toStdString();
}

void WindowTest::type(QLineEdit* edit, const QString& text) { QTest::keyClicks(edit, text); }

void WindowTest::retype(QLineEdit* edit, const QString& text) {
    focus(edit);
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        type(edit, text);
    }
}

void WindowTest::click(QRadioButton* button) {
    const QPoint indicator(6, button->height() / 2);
    QTest::mousePress(button, Qt::LeftButton, {}, indicator);
    QTest::mouseRelease(button, Qt::LeftButton, {}, indicator);
}

}  // namespace its90::ui::testing

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    its90::ui::install_font_substitutions();
    its90::ui::install_chinese_translations();
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir books;
    its90::ui::testing::books = &books;
    its90::ui::testing::fresh_book();
    return RUN_ALL_TESTS();
}

// A table cell whose text cannot be used is framed red, the reason in its tool tip: the
// item's kProblemRole holds it.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <string>
#include <QPainter>
#include <QStyledItemDelegate>

namespace its90::ui {

inline constexpr int kProblemRole = Qt::UserRole + 1;
inline const QColor kProblemColour(0xc0, 0x00, 0x00);

class ProblemFrame final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.data(kProblemRole).toString().isEmpty()) return;
        painter->save();
        painter->setPen(QPen(kProblemColour, 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

// A text box whose text cannot be used: the reason in its tool tip, and framed red unless
// `framed` is off (a box nobody has typed into yet says why in its tip, quietly).
inline void show_problem(QLineEdit* edit, const std::string& problem, bool framed = true) {
    const QString tip = QString::fromStdString(problem);
    const QString style = problem.empty() || !framed ? QString() : QStringLiteral("QLineEdit { border: 2px solid #c00000; }");
    if (edit->toolTip() != tip) edit->setToolTip(tip);
    if (edit->styleSheet() != style) edit->setStyleSheet(style);
}

}  // namespace its90::ui

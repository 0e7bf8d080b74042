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

// A text box whose text cannot be used: framed red, the reason in its tool tip.
inline void show_problem(QLineEdit* edit, const std::string& problem) {
    const QString tip = QString::fromStdString(problem);
    if (edit->toolTip() == tip) return;
    edit->setToolTip(tip);
    edit->setStyleSheet(problem.empty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid #c00000; }"));
}

}  // namespace its90::ui

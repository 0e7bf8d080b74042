#include "ui/frame_style.h"

#include <QGroupBox>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace its90::ui {

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox) return QProxyStyle::drawPrimitive(element, option, painter, widget);
    // The base style fills the interior a shade darker than the window: only the outline,
    // below the caption where there is one (as the base style places it), and half a line of
    // the frame's font below its top where there is none.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int line = option->fontMetrics.height();
    const int top = box != nullptr && !box->title().isEmpty()
                        ? std::max(pixelMetric(PM_ExclusiveIndicatorHeight), line) + 3
                        : line / 2;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(option->palette.color(QPalette::Window).darker(140));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, top + 0.5, -0.5, -0.5), 2, 2);
    painter->restore();
}

}  // namespace its90::ui

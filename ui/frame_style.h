// How the window's frames are drawn: an etched outline on the window's own colour, as the
// layout gives every frame system colour 0 like the window, so that a panel and the labels
// and option buttons on it read as one surface. A frame without a caption draws its top line
// half a line of its font below its top, where a captioned frame draws it.
#pragma once

#include <QProxyStyle>

namespace its90::ui {

class FrameStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace its90::ui

#include "CompactLabel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <vector>

namespace brickvane {

bool CompactLabel::paintOneLine() {
    QFont face = font();
    const QFontMetrics natural(face);
    if (text().contains(QLatin1Char('\n')) || natural.horizontalAdvance(text()) > width() ||
        natural.height() <= height())
        return false;
    constexpr int SmallestPixels = 8;
    int pixels = QFontInfo(face).pixelSize();
    QRect ink = natural.tightBoundingRect(text());
    while (ink.height() > height() - 2 && pixels > SmallestPixels) {
        face.setPixelSize(--pixels);
        ink = QFontMetrics(face).tightBoundingRect(text());
    }
    QPainter painter(this);
    painter.setFont(face);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPoint(0, (height() - ink.height()) / 2 - ink.top()), text());
    return true;
}

void CompactLabel::paintEvent(QPaintEvent*) {
    if (paintOneLine())
        return;
    QTextLayout layout(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        lines.push_back(line);
    }
    if (lines.empty()) {
        layout.endLayout();
        return;
    }
    const qreal natural = lines.front().height();
    const qreal pitch = std::min(natural, qreal(height()) / qreal(lines.size()));
    // Each line box overlaps its neighbours evenly; the glyphs sit well inside it.
    const qreal first = -(natural - pitch) / 2;
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i].setPosition(QPointF(0, first + qreal(i) * pitch));
    layout.endLayout();

    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}

} // namespace brickvane

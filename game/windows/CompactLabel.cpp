#include "CompactLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <vector>

namespace brickvane {

void CompactLabel::paintEvent(QPaintEvent*) {
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

#include "CaptionBox.h"

#include "CaptionFit.h"

#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace brickvane {

CaptionBox::CaptionBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

QRect CaptionBox::LabelRect() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
}

int CaptionBox::CaptionBand() const {
    int band = LabelRect().bottom() + 1;
    for (const QObject* child : children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (w && !w->isHidden())
            band = std::min(band, w->y());
    }
    return band;
}

void CaptionBox::FitCaption(QFont* font, int* baseline) const {
    fitCaption(this->font(), title(), LabelRect(), CaptionBand(), font, baseline);
}

QRect CaptionBox::CaptionInk() const {
    QFont font;
    int baseline = 0;
    FitCaption(&font, &baseline);
    return QFontMetrics(font).tightBoundingRect(title()).translated(LabelRect().left(), baseline);
}

void CaptionBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.subControls &= ~QStyle::SC_GroupBoxLabel;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);

    QFont font;
    int baseline = 0;
    FitCaption(&font, &baseline);
    const QRect label = LabelRect();
    const int width = QFontMetrics(font).horizontalAdvance(title());
    painter.fillRect(QRect(label.left(), 0, width, CaptionBand()), palette().window());
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPoint(label.left(), baseline), title());
}

} // namespace brickvane

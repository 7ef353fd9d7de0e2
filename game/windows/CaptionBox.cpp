#include "CaptionBox.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace brickvane {

namespace {
constexpr int SmallestPixels = 8; // smaller is no longer legible
}

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
    const QRect label = LabelRect();
    const int band = CaptionBand();
    *font = this->font();
    int pixels = QFontInfo(*font).pixelSize();
    for (;;) {
        const QFontMetrics metrics(*font);
        const QRect ink = metrics.tightBoundingRect(title());
        const int natural =
            label.top() + (label.height() - metrics.height()) / 2 + metrics.ascent();
        *baseline = std::min(natural, band - 1 - ink.bottom());
        if (*baseline + ink.top() >= 0 || pixels <= SmallestPixels)
            return;
        font->setPixelSize(--pixels);
    }
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

#include "FittedCaptionBox.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace {
constexpr int SmallestPixels = 8; // smaller is no longer legible
}

FittedCaptionBox::FittedCaptionBox(const QString& caption, const QColor& colour, QWidget* parent)
    : QGroupBox(caption, parent), m_colour(colour) {}

QRect FittedCaptionBox::labelRect() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
}

int FittedCaptionBox::captionBand() const {
    int band = labelRect().bottom() + 1;
    for (const QObject* child : children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (w && !w->isHidden() && w->geometry().intersects(labelRect().adjusted(0, 0, 0, 1000)))
            band = std::min(band, w->y());
    }
    return band;
}

void FittedCaptionBox::fitCaption(QFont* font, int* baseline) const {
    const QRect label = labelRect();
    const int band = captionBand();
    *font = this->font();
    int pixels = QFontInfo(*font).pixelSize();
    for (;;) {
        const QFontMetrics metrics(*font);
        const QRect ink = metrics.tightBoundingRect(title());
        // Where the style would put it, unless its ink would reach the contents.
        const int natural =
            label.top() + (label.height() - metrics.height()) / 2 + metrics.ascent();
        *baseline = std::min(natural, band - 1 - ink.bottom());
        if (*baseline + ink.top() >= 0 || pixels <= SmallestPixels)
            return;
        font->setPixelSize(--pixels);
    }
}

QFont FittedCaptionBox::captionFont() const {
    QFont font;
    int baseline = 0;
    fitCaption(&font, &baseline);
    return font;
}

int FittedCaptionBox::captionBaseline() const {
    QFont font;
    int baseline = 0;
    fitCaption(&font, &baseline);
    return baseline;
}

void FittedCaptionBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // The frame where the style puts it, around the caption's place.
    option.subControls &= ~QStyle::SC_GroupBoxLabel;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);

    QFont font;
    int baseline = 0;
    fitCaption(&font, &baseline);
    const QRect label = labelRect();
    const int width = QFontMetrics(font).horizontalAdvance(title());
    painter.fillRect(QRect(label.left(), 0, width, captionBand()), palette().window());
    painter.setFont(font);
    painter.setPen(m_colour.isValid() ? m_colour : palette().color(QPalette::WindowText));
    painter.drawText(QPoint(label.left(), baseline), title());
}

#include "FittedCaptionBox.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int SmallestPixels = 8; // smaller is no longer legible

int leadingBlanks(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text.left(text.size() - text.trimmed().size()));
}

} // namespace

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
        if (w && !w->isHidden())
            band = std::min(band, w->y());
    }
    return band;
}

// The box's font where the style would put it, raised as far as needed to
// stay above the band, and made smaller only if it still would not fit.
void FittedCaptionBox::fitCaption(QFont* font, int* baseline) const {
    const QRect label = labelRect();
    const int band = captionBand();
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

int FittedCaptionBox::captionLeft(const QFont& font) const {
    const QFontMetrics metrics(font);
    const QString text = title();
    const int blanks = leadingBlanks(metrics, text);
    const QRect label = labelRect();
    int left = label.left();
    if (!parentWidget())
        return left;
    const QRect caption(mapToParent(QPoint(left, 0)),
                        QSize(metrics.horizontalAdvance(text), captionBand()));
    for (const QObject* sibling : parentWidget()->children()) {
        const auto* w = qobject_cast<const QWidget*>(sibling);
        if (!w || w == this || w->isHidden() || !w->geometry().intersects(caption))
            continue;
        const int clear = mapFromParent(QPoint(w->geometry().right() + 2, 0)).x();
        left = std::max(left, clear - blanks);
    }
    return left;
}

QRect FittedCaptionBox::captionInk() const {
    QFont font;
    int baseline = 0;
    fitCaption(&font, &baseline);
    const QFontMetrics metrics(font);
    return metrics.tightBoundingRect(title().trimmed())
        .translated(captionLeft(font) + leadingBlanks(metrics, title()), baseline);
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
    const int left = captionLeft(font);
    const int width = QFontMetrics(font).horizontalAdvance(title());
    painter.fillRect(QRect(left, 0, width, captionBand()), palette().window());
    painter.setFont(font);
    painter.setPen(m_colour.isValid() ? m_colour : palette().color(QPalette::WindowText));
    painter.drawText(QPoint(left, baseline), title());
}

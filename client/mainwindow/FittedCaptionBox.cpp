#include "FittedCaptionBox.h"

#include "CaptionFit.h"

#include <QFontMetrics>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

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
    ::fitCaption(this->font(), title(), labelRect(), captionBand(), font, baseline);
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

int FittedCaptionBox::captionLeft(const QFont& font) const {
    const QFontMetrics metrics(font);
    const QString text = title();
    const int blanks = metrics.horizontalAdvance(text.left(text.size() - text.trimmed().size()));
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

int FittedCaptionBox::captionInkLeft() const {
    const QFont font = captionFont();
    const QString text = title();
    return captionLeft(font) +
           QFontMetrics(font).horizontalAdvance(text.left(text.size() - text.trimmed().size()));
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

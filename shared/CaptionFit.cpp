#include "CaptionFit.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRect>
#include <QString>
#include <algorithm>

namespace {
constexpr int SmallestPixels = 8; // smaller is no longer legible
}

void fitCaption(const QFont& boxFont, const QString& title, const QRect& label, int band,
                QFont* font, int* baseline) {
    *font = boxFont;
    int pixels = QFontInfo(*font).pixelSize();
    for (;;) {
        const QFontMetrics metrics(*font);
        const QRect ink = metrics.tightBoundingRect(title);
        // Where the style would put it, unless its ink would reach the contents.
        const int natural =
            label.top() + (label.height() - metrics.height()) / 2 + metrics.ascent();
        *baseline = std::min(natural, band - 1 - ink.bottom());
        if (*baseline + ink.top() >= 0 || pixels <= SmallestPixels)
            return;
        font->setPixelSize(--pixels);
    }
}

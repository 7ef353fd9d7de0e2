#pragma once

#include <QColor>
#include <QGroupBox>

// A frame whose caption is drawn to fit the band above its contents. The
// designed captions sit in a band only as tall as the design's own font; the
// CJK faces that stand in for it are taller, and the controls below would
// cover the lower half of the characters. The caption's ink is moved up, and
// made smaller only if it still would not fit, down to the smallest legible
// size; no control moves.
class FittedCaptionBox : public QGroupBox {
public:
    // An invalid `colour` draws the caption in the palette's text colour.
    FittedCaptionBox(const QString& caption, const QColor& colour, QWidget* parent);

    // The rows free for the caption: down to the highest shown child.
    int captionBand() const;
    // The caption's ink as drawn, in the box's coordinates: past any control
    // of the parent frame that lies over the caption's place (a hide button).
    QRect captionInk() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitCaption(QFont* font, int* baseline) const;
    QRect labelRect() const;
    int captionLeft(const QFont& font) const;

    QColor m_colour;
};

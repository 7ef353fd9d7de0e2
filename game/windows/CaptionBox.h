#pragma once

#include <QGroupBox>

namespace brickvane {

// A frame whose caption keeps above its first row of controls. The designed
// rows start just below a caption of the design's own font; the taller CJK
// face would reach into them. The caption's ink is raised, and made smaller
// only if it still would not fit; no control moves.
class CaptionBox : public QGroupBox {
public:
    CaptionBox(const QString& caption, QWidget* parent);

    // The rows free for the caption, down to the highest shown child.
    int CaptionBand() const;
    // The caption's ink as drawn, in the box's coordinates.
    QRect CaptionInk() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FitCaption(QFont* font, int* baseline) const;
    QRect LabelRect() const;
};

} // namespace brickvane

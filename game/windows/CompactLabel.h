#pragma once

#include <QLabel>

namespace brickvane {

// A word-wrapped label whose lines close up when the font's own line spacing
// would not fit the designed height: the CJK faces that stand in for "宋体"
// are taller than it, and the designed labels hold exactly their lines. A
// single line whose box is lower than the face's line is drawn with its ink
// centred in the box, and smaller only if the ink itself would not fit.
class CompactLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool paintOneLine();
};

} // namespace brickvane

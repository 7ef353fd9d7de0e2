#pragma once

class QFont;
class QRect;
class QString;

// A group box's caption drawn in `label` (the style's place for it) whose ink
// must stay above row `band`, where the box's contents start: the designed
// bands are only as tall as the design's own font, and the CJK faces standing
// in for it are taller. Gives the font and baseline to draw `title` with: the
// box's font where the style would put it, raised as far as needed, and made
// smaller only if it still would not fit, down to the smallest legible size.
void fitCaption(const QFont& boxFont, const QString& title, const QRect& label, int band,
                QFont* font, int* baseline);

#pragma once

#include "Engine.h"

#include <QColor>
#include <QRegion>
#include <QWidget>
#include <vector>

namespace brickvane {

// A box of cells drawn from the engine's cell state: the board (Picture1) or
// the next-piece preview (Picture2). Each cell is a square of CellSize twips
// on a CellPitch grid; Sync() repaints only the cells that changed.
class CellBox : public QWidget {
public:
    enum class Kind { Board, Preview };

    CellBox(const Engine& engine, Kind kind, QWidget* parent);

    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& colour);

    // Compares the engine's cells with what is on screen and schedules a paint
    // of the cells that differ. Returns the area scheduled.
    QRegion Sync();

    // What the box shows, in words for a screen reader: one line per row,
    // "■" for a shown cell and "□" for an empty one.
    QString StateText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Shown {
        bool shown = false;
        Colour colour = 0;
        bool operator==(const Shown&) const = default;
    };

    int FirstCell() const;
    std::span<const Cell> Cells() const;
    QRect CellRect(int index) const;

    const Engine& engine_;
    const Kind kind_;
    QColor backColor_;
    std::vector<Shown> drawn_; // indexed from FirstCell()
    int drawnCols_ = 0;
};

} // namespace brickvane

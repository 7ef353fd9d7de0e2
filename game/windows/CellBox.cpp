#include "CellBox.h"

#include "GameLook.h"
#include "GameTwips.h"

#include <QPaintEvent>
#include <QPainter>

namespace brickvane {

CellBox::CellBox(const Engine& engine, Kind kind, QWidget* parent)
    : QWidget(parent), engine_(engine), kind_(kind) {
    // Everything is painted here, opaque, so Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CellBox::SetBackColor(const QColor& colour) {
    if (colour == backColor_)
        return;
    backColor_ = colour;
    update();
}

int CellBox::FirstCell() const {
    // The cells of the hidden rows stand off the board and are never seen.
    return kind_ == Kind::Board ? HiddenRows * engine_.BuiltCols() : 0;
}

std::span<const Cell> CellBox::Cells() const {
    if (kind_ == Kind::Preview)
        return engine_.BlockPreviews();
    const auto all = engine_.Blocks();
    const auto first = std::size_t(FirstCell());
    return first < all.size() ? all.subspan(first) : std::span<const Cell>();
}

QRect CellBox::CellRect(int index) const {
    const CellPlace place =
        kind_ == Kind::Preview ? PreviewCellPlace(index) : engine_.BlockPlace(FirstCell() + index);
    return twips::rect(place.left, place.top, CellSize, CellSize);
}

QRegion CellBox::Sync() {
    const auto cells = Cells();
    QRegion dirty;
    if (cells.size() != drawn_.size() || engine_.BuiltCols() != drawnCols_) {
        drawn_.assign(cells.size(), Shown{});
        drawnCols_ = engine_.BuiltCols();
        dirty = rect();
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Shown now{cells[i].shown, cells[i].shown ? cells[i].colour : 0};
        if (now == drawn_[i])
            continue;
        drawn_[i] = now;
        dirty += CellRect(int(i));
    }
    if (!dirty.isEmpty()) {
        update(dirty);
        setAccessibleDescription(StateText());
    }
    return dirty;
}

void CellBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, backColor_);
    // Cells overlap their right and lower neighbours by one pixel, so the
    // single-pixel border of two neighbours becomes one line.
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < drawn_.size(); ++i) {
        if (!drawn_[i].shown)
            continue;
        const QRect r = CellRect(int(i));
        if (!r.intersects(area))
            continue;
        painter.fillRect(r, look::ToQColor(drawn_[i].colour));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

QString CellBox::StateText() const {
    const auto cells = Cells();
    const int columns = kind_ == Kind::Preview ? PreviewSide : engine_.BuiltCols();
    if (cells.empty() || columns <= 0)
        return QStringLiteral("空");
    QString text;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0 && i % std::size_t(columns) == 0)
            text += QLatin1Char('\n');
        text += cells[i].shown ? QChar(0x25A0) : QChar(0x25A1);
    }
    return text;
}

} // namespace brickvane

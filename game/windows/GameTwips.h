#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QVariant>
#include <QWidget>
#include <cmath>

// The game's windows are designed in twips; widgets take device-independent
// pixels. A placed widget remembers its designed rectangle, so layout
// arithmetic stays in twips and only the result is rounded.
namespace brickvane::twips {

constexpr double PerPixel = 15.0;

inline int toPixels(double t) {
    return int(std::lround(t / PerPixel));
}
inline QSize size(double w, double h) {
    return {toPixels(w), toPixels(h)};
}
inline QRect rect(double left, double top, double w, double h) {
    return {toPixels(left), toPixels(top), toPixels(w), toPixels(h)};
}
inline QRect rect(const QRectF& t) {
    return rect(t.left(), t.top(), t.width(), t.height());
}

inline constexpr char DesignProperty[] = "twips";

inline void place(QWidget* w, const QRectF& t) {
    w->setProperty(DesignProperty, t);
    w->setGeometry(rect(t));
}
inline void place(QWidget* w, double left, double top, double width, double height) {
    place(w, QRectF(left, top, width, height));
}

// The designed rectangle of a placed widget; an empty one for any other.
inline QRectF placeOf(const QWidget* w) {
    return w->property(DesignProperty).toRectF();
}

} // namespace brickvane::twips

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

// Designs are in twips; widgets take device-independent pixels.
namespace twips {

constexpr double PerPixel = 15.0;

inline int toPixels(double t) {
    return int(std::lround(t / PerPixel));
}
inline double fromPixels(int px) {
    return px * PerPixel;
}
inline QSize size(double w, double h) {
    return {toPixels(w), toPixels(h)};
}
inline QRect rect(double left, double top, double w, double h) {
    return {toPixels(left), toPixels(top), toPixels(w), toPixels(h)};
}

} // namespace twips

#include "ZoomStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cmath>

namespace zoomstore {
namespace {

constexpr std::array Steps{0.25, 1.0 / 3, 0.5,  2.0 / 3, 0.75, 0.8, 0.9, 1.0, 1.1,
                           1.25, 1.5,     1.75, 2.0,     2.5,  3.0, 4.0, 5.0};
constexpr double Tolerance = 0.001;

QString keyFor(const QString& paneName) {
    return QStringLiteral("zoom/") + paneName;
}

} // namespace

double bounded(double factor) {
    if (!std::isfinite(factor))
        return Default;
    return std::clamp(factor, Steps.front(), Steps.back());
}

double zoomIn(double factor) {
    for (double step : Steps) {
        if (step > factor + Tolerance)
            return step;
    }
    return Steps.back();
}

double zoomOut(double factor) {
    for (auto it = Steps.rbegin(); it != Steps.rend(); ++it) {
        if (*it < factor - Tolerance)
            return *it;
    }
    return Steps.front();
}

QString filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/panes.ini");
}

double load(const QString& paneName) {
    if (paneName.isEmpty())
        return Default;
    const QSettings settings(filePath(), QSettings::IniFormat);
    bool ok = false;
    const double factor = settings.value(keyFor(paneName)).toDouble(&ok);
    return ok ? bounded(factor) : Default;
}

void save(const QString& paneName, double factor) {
    if (paneName.isEmpty())
        return;
    QSettings settings(filePath(), QSettings::IniFormat);
    if (std::abs(factor - Default) < Tolerance)
        settings.remove(keyFor(paneName));
    else
        settings.setValue(keyFor(paneName), bounded(factor));
}

} // namespace zoomstore

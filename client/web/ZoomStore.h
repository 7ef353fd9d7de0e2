#pragma once

#include <QString>

// Each pane's zoom, kept across restarts in the user's configuration folder
// under the pane's name. The steps are the ones browsers use.
namespace zoomstore {

constexpr double Default = 1.0;

// The next step in or out from `factor`; the ends stay where they are.
double zoomIn(double factor);
double zoomOut(double factor);
// Limited to the smallest and largest step; anything not a number is the default.
double bounded(double factor);

// The default for an unnamed pane or one never zoomed.
double load(const QString& paneName);
// An unnamed pane's zoom lasts only as long as the pane.
void save(const QString& paneName, double factor);

// The file the factors are kept in.
QString filePath();

} // namespace zoomstore

#pragma once

#include <QIcon>
#include <QList>
#include <functional>

class QAction;
class QToolBar;

namespace toolbar {

using ButtonClick = std::function<void(int number)>;

// Adds the eighteen buttons, captions under 25 x 25 images; the returned list
// holds button n at index n - 1.
QList<QAction*> buildToolbar(QToolBar* bar, const ButtonClick& onClick);

// Keeps all eighteen buttons on the bar at its present width: a theme with a
// larger font (GTK's on GNOME) would push the last ones behind the overflow
// arrow. The captions are drawn smaller, as little as it takes.
void fitButtons(QToolBar* bar);

// Our own drawing of image 1 to 19 of the toolbar's image list.
QIcon toolbarImage(int image);

} // namespace toolbar

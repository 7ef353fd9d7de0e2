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

// Our own drawing of image 1 to 19 of the toolbar's image list.
QIcon toolbarImage(int image);

} // namespace toolbar

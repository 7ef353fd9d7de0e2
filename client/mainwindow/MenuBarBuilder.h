#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <functional>

class QAction;
class QMenuBar;

namespace menus {

// A click hands over the item's control name and its number, as the item's
// own handler receives it.
using ItemClick = std::function<void(QStringView control, int number)>;

// Fills `bar` with the twelve menus in order; returns every item's action by
// control name. Checkable items show their tick; whoever owns the state sets
// it after each click, since Qt flips the mark before the handler runs.
QHash<QString, QAction*> buildMenuBar(QMenuBar* bar, const ItemClick& onClick);

} // namespace menus

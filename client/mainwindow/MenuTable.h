#pragma once

#include <QStringView>
#include <span>

// The main window's menu bar as data: the window builds its menus from it and
// the page items take their addresses from it.
namespace menus {

enum class Action {
    MainPane,  // GotoWeb(PortalBaseUrl + path)
    NewWindow, // OpenNewWindow(PortalBaseUrl + path)
    Handler,   // the window's own handler, named after the control
};

// Four items carry a check mark; two of them start ticked.
enum class Tick { None, Clear, Set };

struct Item {
    QStringView control;
    int number;
    QStringView caption;
    Action action;
    QStringView path;
    Tick tick = Tick::None;
};

struct Menu {
    QStringView control;
    int number;
    QStringView caption;
    std::span<const Item> items;
};

std::span<const Menu> menuBar();

// Item control names are unique across the bar (numbers are not).
const Item* findItem(QStringView control);

} // namespace menus

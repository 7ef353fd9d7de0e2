#include "MenuBarBuilder.h"

#include "MenuTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace menus {

QHash<QString, QAction*> buildMenuBar(QMenuBar* bar, const ItemClick& onClick) {
    QHash<QString, QAction*> actions;
    // Twelve menus fit the designed width only without the style's gaps.
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; }"));
    for (const Menu& menu : menuBar()) {
        QMenu* m = bar->addMenu(menu.caption.toString());
        m->setObjectName(menu.control.toString());
        for (const Item& item : menu.items) {
            QAction* a = m->addAction(item.caption.toString());
            a->setObjectName(item.control.toString());
            a->setData(item.number);
            // Keeps "关于Orvanta" and "退出" where they are on every platform.
            a->setMenuRole(QAction::NoRole);
            if (item.tick != Tick::None) {
                a->setCheckable(true);
                a->setChecked(item.tick == Tick::Set);
            }
            const QStringView control = item.control;
            const int number = item.number;
            QObject::connect(a, &QAction::triggered, bar,
                             [onClick, control, number] { onClick(control, number); });
            actions.insert(item.control.toString(), a);
        }
    }
    return actions;
}

} // namespace menus

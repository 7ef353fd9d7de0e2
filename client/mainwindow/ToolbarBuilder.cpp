#include "ToolbarBuilder.h"

#include "ToolbarTable.h"

#include <QAction>
#include <QLayout>
#include <QToolBar>

namespace toolbar {

QList<QAction*> buildToolbar(QToolBar* bar, const ButtonClick& onClick) {
    bar->setIconSize(QSize(ImageSize, ImageSize));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Eighteen captioned buttons just fit the designed width without gaps.
    bar->layout()->setSpacing(0);
    QList<QAction*> actions;
    for (const Button& button : buttons()) {
        QAction* a = bar->addAction(toolbarImage(button.image), button.caption.toString());
        a->setObjectName(button.key.toString());
        a->setToolTip(tooltipText(button));
        a->setData(button.number);
        const int number = button.number;
        QObject::connect(a, &QAction::triggered, bar, [onClick, number] { onClick(number); });
        actions.append(a);
    }
    return actions;
}

} // namespace toolbar

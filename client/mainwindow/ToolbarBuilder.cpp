#include "ToolbarBuilder.h"

#include "ToolbarTable.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLayout>
#include <QToolBar>
#include <QToolButton>

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
        // Normal raised buttons as designed; the flat style is the user's switch.
        if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            tool->setAutoRaise(false);
        actions.append(a);
    }
    return actions;
}

void fitButtons(QToolBar* bar) {
    constexpr int SmallestPixels = 8; // smaller is no longer legible
    QFont font = QApplication::font(bar);
    int pixels = QFontInfo(font).pixelSize();
    for (;;) {
        if (bar->font() != font) {
            bar->setFont(font);
            bar->layout()->invalidate();
        }
        if (bar->sizeHint().width() <= bar->width() || pixels <= SmallestPixels)
            return;
        font.setPixelSize(--pixels);
    }
}

} // namespace toolbar

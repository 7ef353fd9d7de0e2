#include "DesktopToolbox.h"

#include "BrowserWindow.h"
#include "WebEnginePane.h"

#include <QDesktopServices>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

bool DesktopToolbox::openNewWindow(const QString& address) {
    auto* window = new BrowserWindow;
    if (window->pane()->navigate(address) != pane::Ok) {
        delete window;
        return false;
    }
    window->show();
    return true;
}

bool DesktopToolbox::sendMail(const QString& address) {
    return QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address));
}

bool DesktopToolbox::isFlat(const QToolBar* toolbar) {
    const QList<QToolButton*> buttons = toolbar->findChildren<QToolButton*>();
    return !buttons.isEmpty() &&
           std::all_of(buttons.begin(), buttons.end(), [](auto* b) { return b->autoRaise(); });
}

void DesktopToolbox::toggleFlatToolbar(QToolBar* toolbar) {
    if (!toolbar)
        return;
    const bool flat = !isFlat(toolbar);
    for (QToolButton* button : toolbar->findChildren<QToolButton*>())
        button->setAutoRaise(flat);
}

#include "DesktopToolbox.h"

#include "PageRules.h"
#include "PageWindows.h"
#include "PaneAddress.h"

#include <QDesktopServices>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineView>
#include <algorithm>

bool DesktopToolbox::openNewWindow(const QString& address) {
    const QUrl url = pane::urlFor(address);
    if (!url.isValid())
        return false;
    QWebEngineView* window = pagewindows::open(pagewindows::Opener::User);
    if (!window)
        return false;
    window->load(url);
    return true;
}

bool DesktopToolbox::sendMail(const QString& address) {
    return QDesktopServices::openUrl(
        pagerules::mailLink(QUrl(QStringLiteral("mailto:") + address)));
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

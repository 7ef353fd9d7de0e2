#include "WebEnginePane.h"

#include "Portal.h"
#include "Twips.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

QWebEngineProfile* sharedWebProfile()
{
    static QWebEngineProfile* profile = [] {
        auto* p = new QWebEngineProfile(QStringLiteral("Orvanta"));
        p->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        // Pages that declare no charset are the portal's legacy GBK pages.
        p->settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
        return p;
    }();
    return profile;
}

WebEnginePane::WebEnginePane(QWidget* parent) : QWebEngineView(sharedWebProfile(), parent) {}

QUrl WebEnginePane::addressToUrl(const QString& address)
{
    const bool localPath = address.startsWith(QLatin1Char('/')) ||
                           (address.size() > 2 && address.at(1) == QLatin1Char(':') &&
                            (address.at(2) == QLatin1Char('\\') || address.at(2) == QLatin1Char('/')));
    if (localPath)
        return QUrl::fromLocalFile(QDir::fromNativeSeparators(address));
    return portal::toWireUrl(address);
}

pane::Result WebEnginePane::navigate(const QString& address)
{
    const QUrl url = addressToUrl(address);
    if (!url.isValid())
        return pane::Failed;
    load(url);
    return pane::Ok;
}

pane::Result WebEnginePane::stop()
{
    QWebEngineView::stop();
    return pane::Ok;
}

pane::Result WebEnginePane::goBack()
{
    if (!history()->canGoBack())
        return pane::Failed;
    back();
    return pane::Ok;
}

pane::Result WebEnginePane::goForward()
{
    if (!history()->canGoForward())
        return pane::Failed;
    forward();
    return pane::Ok;
}

pane::Result WebEnginePane::refresh()
{
    reload();
    return pane::Ok;
}

pane::Result WebEnginePane::setWidth(double t)
{
    if (t < 0)
        return pane::Failed;
    resize(twips::toPixels(t), height());
    return pane::Ok;
}

pane::Result WebEnginePane::setHeight(double t)
{
    if (t < 0)
        return pane::Failed;
    resize(width(), twips::toPixels(t));
    return pane::Ok;
}

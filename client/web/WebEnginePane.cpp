#include "WebEnginePane.h"

#include "PagePolicy.h"
#include "PaneAddress.h"
#include "PaneHabits.h"
#include "PaneRecovery.h"
#include "ScriptDialogRoute.h"
#include "Twips.h"

#include <QApplication>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

const char* const ProfileObjectName = "OrvantaWebProfile";

QWebEngineProfile* createProfile() {
    // Owned by the application object, which outlives every window and so
    // every page; deleting it earlier would pull it from under live pages.
    // Chromium's own model, a renderer per page, stays: a page's dialog, loop
    // or crash then holds up only its own pane, never the others of the portal.
    const QString name = QStringLiteral("Orvanta");
    // The desktop's proxy settings (GNOME, KDE, PAC, WPAD, the environment,
    // through libproxy) for our own requests, such as the check for the
    // portal's return; with this Chromium reads the desktop's settings too.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    scriptdialogroute::registerScheme();
    auto* profile = new QWebEngineProfile(name, QCoreApplication::instance());
    profile->setObjectName(QLatin1String(ProfileObjectName));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty()) {
        const QString storage = data + QStringLiteral("/QtWebEngine/") + name;
        profile->setPersistentStoragePath(storage);
        profile->setCachePath(storage + QStringLiteral("/cache"));
    }
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    // Pages that declare no charset are the portal's legacy GBK pages.
    profile->settings()->setDefaultTextEncoding(QStringLiteral("GBK"));
    pagepolicy::applyTo(profile);
    scriptdialogroute::serve(profile);
    return profile;
}

} // namespace

QWebEngineProfile* sharedWebProfile() {
    // Looked up on the application object rather than kept here: the program
    // and its web engine module may each carry a copy of this library, and two
    // profiles on one storage folder would not share the login.
    auto* existing = QCoreApplication::instance()->findChild<QWebEngineProfile*>(
        QLatin1String(ProfileObjectName), Qt::FindDirectChildrenOnly);
    return existing ? existing : createProfile();
}

WebEnginePane::WebEnginePane(QWidget* parent) : QWebEngineView(sharedWebProfile(), parent) {
    // The page's rules replace its page: everything that follows the page comes after.
    pagepolicy::guard(this, sharedWebProfile());
    PaneHabits::attach(this);
    m_recovery = new PaneRecovery(this);
}

QUrl WebEnginePane::addressToUrl(const QString& address) {
    return pane::urlFor(address);
}

pane::Result WebEnginePane::navigate(const QString& address) {
    const QUrl url = addressToUrl(address);
    if (!url.isValid())
        return pane::Failed;
    load(url);
    return pane::Ok;
}

pane::Result WebEnginePane::stop() {
    QWebEngineView::stop();
    return pane::Ok;
}

pane::Result WebEnginePane::goBack() {
    if (!history()->canGoBack())
        return pane::Failed;
    back();
    return pane::Ok;
}

pane::Result WebEnginePane::goForward() {
    if (!history()->canGoForward())
        return pane::Failed;
    forward();
    return pane::Ok;
}

pane::Result WebEnginePane::refresh() {
    if (m_recovery->retry()) // our own page: the address the user asked for
        return pane::Ok;
    reload();
    return pane::Ok;
}

pane::Result WebEnginePane::setWidth(double t) {
    if (t < 0)
        return pane::Failed;
    resize(twips::toPixels(t), height());
    return pane::Ok;
}

pane::Result WebEnginePane::setHeight(double t) {
    if (t < 0)
        return pane::Failed;
    resize(width(), twips::toPixels(t));
    return pane::Ok;
}

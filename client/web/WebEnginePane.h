#pragma once

#include "BrowserPane.h"
#include "PagePolicy.h"

#include <QWebEngineView>
#include <functional>

class PaneRecovery;
class QWebEngineProfile;

// The one profile every pane and separate window shares: cookies and cache
// on disk in the user's data folder, so a portal login survives a restart.
// It goes with the application object, after the last page.
QWebEngineProfile* sharedWebProfile();

class WebEnginePane : public QWebEngineView, public BrowserPane {
    Q_OBJECT
public:
    explicit WebEnginePane(QWidget* parent = nullptr);

    pane::Result navigate(const QString& address) override;
    pane::Result stop() override;
    pane::Result goBack() override;
    pane::Result goForward() override;
    pane::Result refresh() override;
    pane::Result setWidth(double twips) override;
    pane::Result setHeight(double twips) override;

    // A local file path shows the file; anything else is a web address.
    static QUrl addressToUrl(const QString& address);

private:
    PaneRecovery* m_recovery = nullptr;
};

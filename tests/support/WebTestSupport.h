#pragma once

#include "BrowserWindow.h"
#include "PageWindows.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QPoint>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <optional>

namespace webtest {

constexpr int Patience = 60000; // ms; Chromium on a loaded 2-core machine

// Before the application object: the web engine shares OpenGL contexts, and
// the profile goes to a test folder of its own.
inline void prepareApplication(const char* name) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setApplicationName(QString::fromLatin1(name));
    QStandardPaths::setTestModeEnabled(true);
    pagewindows::setMaker(&BrowserWindow::open);
}

inline QList<BrowserWindow*> browserWindows() {
    QList<BrowserWindow*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<BrowserWindow*>(w))
            windows.append(window);
    }
    return windows;
}

// The built demo portal, started for a test on a free port; keeps every line
// it logs ("GET /market/ad.asp").
class DemoPortalProcess {
public:
    DemoPortalProcess() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                         [this] { readLines(); });
    }
    ~DemoPortalProcess() {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

    // Waits for the address the portal prints first. Port 0 takes a free one.
    bool start(quint16 port = 0) {
        m_address.clear();
        m_process.start(QStringLiteral(DEMO_PORTAL_BINARY), {QString::number(port)});
        while (m_address.isEmpty() && m_process.waitForReadyRead(30000)) {
        }
        return !m_address.isEmpty();
    }
    // The portal goes down as if its machine had gone away.
    bool stop() {
        m_process.kill();
        return m_process.waitForFinished(30000);
    }

    QString address() const { return m_address; } // "http://127.0.0.1:PORT/"
    quint16 port() const { return quint16(QUrl(m_address).port()); }
    int count(const QString& request) const { return int(m_requests.count(request)); }
    QStringList requests() const { return m_requests; }

private:
    void readLines() {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (m_address.isEmpty() && line.startsWith(QLatin1String("listening ")))
                m_address = line.mid(10);
            else
                m_requests.append(line);
        }
    }

    QProcess m_process;
    QString m_address;
    QStringList m_requests;
};

// Loads `address` into `pane`, true once it has loaded fine.
inline bool loadInto(WebEnginePane& pane, const QString& address) {
    QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
    return pane.navigate(address) == pane::Ok && finished.wait(Patience) &&
           finished.last().at(0).toBool();
}

// The value of `script` in the page, or an invalid one after `timeout` ms.
inline QVariant valueOf(QWebEnginePage* page, const QString& script, int timeout = Patience) {
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, timeout))
        return {};
    return result->value_or(QVariant());
}

// Clicks the middle of the element with `id` the way a user would, so the
// page gets a click it may open a window or a link for.
inline bool clickElement(QWebEngineView& view, const QString& id) {
    const QVariantList centre =
        valueOf(view.page(), QStringLiteral("(() => { const r = document.getElementById('%1')"
                                            ".getBoundingClientRect();"
                                            "return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                                 .arg(id))
            .toList();
    QWidget* target = view.focusProxy();
    if (centre.size() != 2 || !target)
        return false;
    const QPoint at(centre[0].toInt(), centre[1].toInt());
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    return true;
}

} // namespace webtest

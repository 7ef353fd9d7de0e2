#pragma once

#include "BrowserWindow.h"
#include "PageWindows.h"
#include "Portal.h"
#include "Seams.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPoint>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>
#include <memory>
#include <optional>
#include <sys/prctl.h>
#include <utility>

namespace webtest {

constexpr int Patience = 60000; // ms; Chromium on a loaded 2-core machine

// Runs the event loop until `done` holds, false after `timeout` ms. The loop
// runs as the program's own does: QTest's waits sleep 10 ms between turns,
// and the engine's work, which passes through this thread many times for a
// single script call, would wait that long at each pass.
template <class Predicate> bool waitFor(Predicate done, int timeout = Patience) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(timeout))
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Qt's QTRY_ checks, as patient, on that loop.
#define TRY_VERIFY(expr) QVERIFY2(webtest::waitFor([&] { return bool(expr); }), #expr)
#define TRY_COMPARE(actual, expected)                                                              \
    do {                                                                                           \
        (void)webtest::waitFor([&] { return (actual) == (expected); });                            \
        QCOMPARE(actual, expected);                                                                \
    } while (false)

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

// Puts `standIn` into a seam until the end of the scope.
template <class Setter, class Handler> [[nodiscard]] auto swapIn(Setter set, Handler standIn) {
    return qScopeGuard([set, previous = set(std::move(standIn))] { set(previous); });
}

// Keeps the text of every message box until the end of the scope, each answered with OK.
[[nodiscard]] inline auto messagesInto(QStringList& texts) {
    return swapIn(seams::setMessageHandler, [&texts](const seams::Message& m) {
        texts.append(m.text);
        return seams::Answer::Ok;
    });
}

// The built demo portal, started on a free port; keeps every line it logs
// ("GET /market/ad.asp"), in the order the requests came.
class DemoPortalProcess {
public:
    DemoPortalProcess() {
        // A test that crashes or is killed takes its portal with it, so the
        // portal never holds the test's output open after it.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
                if (m_address.isEmpty() && line.startsWith(QLatin1String("listening ")))
                    m_address = line.mid(10);
                else
                    m_requests.append(line);
            }
        });
    }
    ~DemoPortalProcess() { stop(); }

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
    bool waitFor(const QString& request, int times = 1) const {
        return webtest::waitFor([&] { return count(request) >= times; });
    }

private:
    QProcess m_process;
    QString m_address;
    QStringList m_requests;
};

// One demo portal for the whole test program, the client's portal address.
// It goes with the application object, whose event loop its process needs.
inline DemoPortalProcess& demoPortal() {
    static DemoPortalProcess* running = nullptr;
    if (!running) {
        running = new DemoPortalProcess;
        qAddPostRoutine([] { delete std::exchange(running, nullptr); });
        if (running->start())
            portal::setBaseUrl(running->address());
    }
    return *running;
}

// Loads `address` into `pane`, true once it has loaded fine. Shown, as a
// hidden page's timers are slowed down.
inline bool loadInto(WebEnginePane& pane, const QString& address, bool shown = true) {
    if (shown) {
        pane.resize(640, 480);
        pane.show();
    }
    QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
    return pane.navigate(address) == pane::Ok && finished.wait(Patience) &&
           finished.last().at(0).toBool();
}

// The value of `script` in the page, or an invalid one after `timeout` ms.
inline QVariant valueOf(QWebEnginePage* page, const QString& script, int timeout = Patience) {
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!waitFor([&] { return result->has_value(); }, timeout))
        return {};
    return result->value_or(QVariant());
}

// A renderer being replaced may never answer a script: each try is short.
inline QString bodyText(QWebEngineView& view) {
    return valueOf(view.page(), QStringLiteral("document.body ? document.body.innerText : ''"),
                   5000)
        .toString();
}

// Where the page takes its keys and mouse: the widget Chromium draws in.
inline QWidget* pageWidget(QWebEngineView& view) {
    return view.focusProxy() ? view.focusProxy() : &view;
}

// Focuses the pane's page, as a click into it would.
inline bool focusPage(QWebEngineView& view) {
    view.window()->activateWindow();
    if (!QTest::qWaitForWindowActive(view.window()))
        return false;
    pageWidget(view)->setFocus(Qt::MouseFocusReason);
    return waitFor([&] { return pageWidget(view)->hasFocus(); }, 5000);
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
    if (centre.size() != 2)
        return false;
    const QPoint at(centre[0].toInt(), centre[1].toInt());
    QTest::mouseMove(pageWidget(view), at);
    QTest::mouseClick(pageWidget(view), Qt::LeftButton, {}, at);
    return true;
}

// A dialog shown in a nested event loop, handled from inside that loop by
// `handle` each time one is visible, until the guard goes.
[[nodiscard]] inline std::unique_ptr<QTimer> onDialogs(std::function<void(QDialog*)> handle) {
    auto poll = std::make_unique<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, poll.get(), [handle] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
                handle(dialog);
        }
    });
    poll->start(50);
    return poll;
}

} // namespace webtest

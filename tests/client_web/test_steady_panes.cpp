// What one page does stays in its own pane, and renderers always come back:
// real panes against the demo portal's hostile pages.

#include "PaneRecovery.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QSignalSpy>
#include <csignal>

using namespace webtest;

namespace {

bool rendererAlive(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

QString title(WebEnginePane& pane) {
    return valueOf(pane.page(), QStringLiteral("document.title"), 3000).toString();
}

} // namespace

class TestSteadyPanes : public QObject {
    Q_OBJECT
public:
    static void initMain() {
        prepareApplication("orvanta-steady-panes-test");
        // The memory bomb dies at a small heap rather than after gigabytes.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --js-flags=--max-old-space-size=64");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
    }

    // A page's endless loop or memory bomb: the other pane still loads a
    // page, from a renderer of its own that nothing took down.
    void aHostilePageHoldsUpOnlyItsOwnPane_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("started"); // the portal's log line once the trouble runs
        QTest::newRow("loop") << "hostile/loop.asp"
                              << "GET /hostile/looping.asp";
        QTest::newRow("bomb") << "hostile/bomb.asp"
                              << "";
    }
    void aHostilePageHoldsUpOnlyItsOwnPane() {
        QFETCH(QString, page);
        QFETCH(QString, started);
        WebEnginePane hostile, other;
        hostile.show();
        other.show();
        const QString next = QStringLiteral("site/next.asp?") + QTest::currentDataTag();
        QVERIFY(loadInto(other, portal::page(QStringLiteral("site/first.asp"))));
        const qint64 otherRenderer = other.page()->renderProcessPid();
        QSignalSpy died(hostile.page(), &QWebEnginePage::renderProcessTerminated);
        hostile.navigate(portal::page(page));
        if (started.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(!died.isEmpty(), Patience);
        else
            QTRY_VERIFY_WITH_TIMEOUT(m_portal.count(started) > 0, Patience);

        // The other page still runs its scripts where it is, and still loads.
        QCOMPARE(valueOf(other.page(), QStringLiteral("6 * 7"), 5000), QVariant(42));
        QVERIFY(loadInto(other, portal::page(next)));
        QCOMPARE(m_portal.count("GET /" + next), 1);
        QCOMPARE(other.page()->renderProcessPid(), otherRenderer);
        QVERIFY(hostile.page()->renderProcessPid() != otherRenderer);
    }

    // A page that stops answering gets our page, with its renderer let go;
    // 重试 asks for the page again.
    void aPageThatStopsAnsweringIsFreedAndOffersRetry() {
        const int limit = PaneRecovery::setAnswerLimit(3000);
        WebEnginePane pane;
        pane.show();
        const QString loop = portal::page(QStringLiteral("hostile/loop.asp"));
        const int loads = m_portal.count("GET /hostile/loop.asp");
        const int loops = m_portal.count("GET /hostile/looping.asp");
        QVERIFY(loadInto(pane, loop));
        const qint64 renderer = pane.page()->renderProcessPid();
        QTRY_VERIFY_WITH_TIMEOUT(m_portal.count("GET /hostile/looping.asp") > loops, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(title(pane), QStringLiteral("网页没有响应"), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(!rendererAlive(renderer), Patience);
        QVERIFY(valueOf(pane.page(), "document.body.innerText").toString().contains("重试"));
        QCOMPARE(pane.refresh(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count("GET /hostile/loop.asp"), loads + 2, Patience);
        PaneRecovery::setAnswerLimit(limit);
    }

    // Killed from outside, a renderer always comes back, less often the more
    // it is killed; never our crash page.
    void killedRenderersAlwaysComeBack() {
        const std::pair<int, int> waits[] = {{0, 0},     {1, 1000},  {2, 5000},  {3, 15000},
                                             {4, 30000}, {5, 60000}, {12, 60000}};
        for (const auto& [kill, wait] : waits)
            QCOMPARE(PaneRecovery::killedReloadDelay(kill), wait);

        const auto previous = PaneRecovery::setKilledReloadDelays({0, 50, 100});
        WebEnginePane pane;
        pane.show();
        const QString request = QStringLiteral("GET /site/killed.asp");
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("site/killed.asp"))));
        for (int kill = 1; kill <= 6; ++kill) {
            QTRY_VERIFY_WITH_TIMEOUT(rendererAlive(pane.page()->renderProcessPid()), Patience);
            QCOMPARE(::kill(pid_t(pane.page()->renderProcessPid()), SIGKILL), 0);
            QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), kill + 1, Patience);
            QTRY_COMPARE_WITH_TIMEOUT(title(pane), QStringLiteral("演示门户 /site/killed.asp"),
                                      Patience);
        }
        PaneRecovery::setKilledReloadDelays(previous);
    }

    // Crashes by itself: a page that then shows long enough starts a new
    // series; four crashes in a row give our page, which reloads once the
    // pane is focused.
    void crashesEndInOurPageUntilThePaneIsFocused() {
        const auto previous = PaneRecovery::setRendererReloadDelays({0, 50, 50, 50});
        const int settled = PaneRecovery::setSettledAfter(1500);
        WebEnginePane pane;
        pane.show();
        const QString request = QStringLiteral("GET /site/crashing.asp");
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("site/crashing.asp"))));
        const auto crash = [&](int requests) {
            pane.page()->load(QUrl(QStringLiteral("chrome://crash")));
            return QTest::qWaitFor([&] { return m_portal.count(request) == requests; }, Patience);
        };
        QVERIFY(crash(2) && crash(3) && crash(4));
        // Shown long enough: the next crashes are a new series.
        QTRY_COMPARE_WITH_TIMEOUT(title(pane), QStringLiteral("演示门户 /site/crashing.asp"),
                                  Patience);
        QTest::qWait(2000);
        QVERIFY(crash(5) && crash(6) && crash(7) && crash(8));
        pane.page()->load(QUrl(QStringLiteral("chrome://crash")));
        QTRY_COMPARE_WITH_TIMEOUT(title(pane), QStringLiteral("网页无法显示"), Patience);
        QCOMPARE(m_portal.count(request), 8);

        pane.hide();
        pane.show();
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 9, Patience);
        PaneRecovery::setRendererReloadDelays(previous);
        PaneRecovery::setSettledAfter(settled);
    }

private:
    DemoPortalProcess m_portal;
};

QTEST_MAIN(TestSteadyPanes)
#include "test_steady_panes.moc"

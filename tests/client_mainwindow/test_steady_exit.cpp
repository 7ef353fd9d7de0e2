// After Yes to the close question nothing a page does holds up the end or
// keeps the exit page's request from the portal: real panes, the demo portal.

#include "MainWindow.h"
#include "PageDialogs.h"
#include "Portal.h"
#include "Seams.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QElapsedTimer>
#include <QTimer>

using namespace webtest;

class TestSteadyExit : public QObject {
    Q_OBJECT
public:
    static void initMain() { prepareApplication("orvanta-steady-exit-test"); }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_portal.start());
        seams::setMessageHandler([](const seams::Message&) { return seams::Answer::Yes; });
        seams::setBeep([] {});
        seams::setEndProgram([this] {
            m_endedAfter = m_sinceClose.elapsed();
            m_exitsAtEnd = m_portal.count(m_exitRequest);
        });
    }

    // In this order: the first closes over an open dialog, which the later
    // rows' pages would no longer get to show.
    void noPageHoldsUpTheExit_data() {
        QTest::addColumn<QString>("folder"); // where the portal's pages are
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("page");
        QTest::newRow("a page dialog open") << ""
                                            << "WebBrowserBbs"
                                            << "hostile/alert.asp";
        QTest::newRow("beforeunload") << ""
                                      << "WebBrowserMain"
                                      << "hostile/leave.asp";
        QTest::newRow("alert on the exit page") << "hostile/"
                                                << ""
                                                << "";
    }
    void noPageHoldsUpTheExit() {
        QFETCH(QString, folder);
        QFETCH(QString, pane);
        QFETCH(QString, page);
        portal::setBaseUrl(m_portal.address() + folder);
        m_exitRequest = "GET /" + folder + "market/exit.asp";
        m_endedAfter = m_exitsAtEnd = -1;
        const int exitsBefore = m_portal.count(m_exitRequest);
        MainWindow::Services services;
        services.makePane = [](QWidget* frame) {
            auto* p = new WebEnginePane(frame);
            return PaneSlot{p, p};
        };
        services.dismissPageDialogs = [] {
            pagedialogs::dismissAll();
            return pagedialogs::openCount();
        };
        MainWindow w(std::move(services));
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // The close comes while the dialog waits, from inside its wait.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (page.endsWith("alert.asp") && pagedialogs::openCount() == 0)
                return;
            closer.stop();
            m_sinceClose.start();
            w.close();
        });
        if (auto* web = w.findChild<WebEnginePane*>(pane)) {
            if (page.endsWith("alert.asp")) {
                web->navigate(portal::page(page));
            } else {
                QVERIFY(loadInto(*web, portal::page(page)));
                QVERIFY(clickElement(*web, "state")); // the page may ask before it is left
            }
        }
        closer.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(m_endedAfter >= 0, Patience);
        QVERIFY2(m_endedAfter >= 4000 && m_endedAfter < 9000,
                 qPrintable(QString::number(m_endedAfter)));
        QCOMPARE(m_exitsAtEnd, exitsBefore + 1);
        QCOMPARE(pagedialogs::openCount(), 0);
    }

private:
    DemoPortalProcess m_portal;
    QElapsedTimer m_sinceClose;
    QString m_exitRequest;
    qint64 m_endedAfter = -1;
    int m_exitsAtEnd = -1;
};

QTEST_MAIN(TestSteadyExit)
#include "test_steady_exit.moc"

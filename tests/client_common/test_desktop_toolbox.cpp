#include "BrowserWindow.h"
#include "DesktopToolbox.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWebEngineProfile>

namespace {

using webtest::browserWindows;
using webtest::Patience;

QList<bool> autoRaise(const QToolBar& toolbar) {
    QList<bool> raised;
    for (QAction* action : toolbar.actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolbar.widgetForAction(action)))
            raised.append(button->autoRaise());
    }
    return raised;
}

} // namespace

// Stands in for the desktop's mail program.
class MailRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestDesktopToolbox : public QObject {
    Q_OBJECT
public:
    static void initMain() { webtest::prepareApplication("orvanta-toolbox-test"); }

private slots:
    void initTestCase() {
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
    }

    void cleanup() { qDeleteAll(browserWindows()); }

    void openNewWindowLeavesThePanesAlone_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("title");
        QTest::newRow("registration") << "tonghang/reginfo.asp"
                                      << "GET /tonghang/reginfo.asp"
                                      << "演示门户 /tonghang/reginfo.asp";
        QTest::newRow("city in gbk") << "tonghang/allcom.asp?city=上海"
                                     << "GET /tonghang/allcom.asp?city=%C9%CF%BA%A3"
                                     << "演示门户 /tonghang/allcom.asp";
    }
    void openNewWindowLeavesThePanesAlone() {
        QFETCH(QString, path);
        QFETCH(QString, request);
        QFETCH(QString, title);
        WebEnginePane main;
        QSignalSpy loaded(&main, &QWebEngineView::loadFinished);
        QCOMPARE(main.navigate(portal::page(QStringLiteral("main.asp"))), pane::Ok);
        QVERIFY(loaded.wait(Patience));
        const int mainRequests = m_portal.count(QStringLiteral("GET /main.asp"));

        DesktopToolbox toolbox;
        QVERIFY(toolbox.openNewWindow(portal::page(path)));
        QCOMPARE(browserWindows().size(), 1);
        BrowserWindow* window = browserWindows().front();
        QVERIFY(window->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), title, Patience);
        QCOMPARE(m_portal.count(request), 1);
        QCOMPARE(window->pane()->page()->profile(), main.page()->profile());

        QCOMPARE(main.url().path(), QStringLiteral("/main.asp"));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(m_portal.count(QStringLiteral("GET /main.asp")), mainRequests);
    }

    void openNewWindowWithNothingToShowOpensNone() {
        DesktopToolbox toolbox;
        QVERIFY(!toolbox.openNewWindow(QString()));
        QVERIFY(browserWindows().isEmpty());
    }

    void sendMailAddressesANewMessage() {
        MailRecorder mail;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
        DesktopToolbox toolbox;
        const bool sent = toolbox.sendMail(QStringLiteral("webmaster@velantrix.com"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QVERIFY(sent);
        QCOMPARE(mail.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:webmaster@velantrix.com"))});
    }

    void toggleFlatToolbarFlipsEachCall_data() {
        QTest::addColumn<bool>("startsFlat");
        QTest::newRow("designed raised") << false;
        QTest::newRow("already flat") << true;
    }
    void toggleFlatToolbarFlipsEachCall() {
        QFETCH(bool, startsFlat);
        QToolBar toolbar;
        for (const char* caption : {"后退", "前进", "刷新", "注销"})
            toolbar.addAction(QString::fromUtf8(caption));
        for (QToolButton* button : toolbar.findChildren<QToolButton*>())
            button->setAutoRaise(startsFlat);
        const QList<bool> start(4, startsFlat);
        const QList<bool> flipped(4, !startsFlat);
        QCOMPARE(autoRaise(toolbar), start);

        DesktopToolbox toolbox;
        toolbox.toggleFlatToolbar(&toolbar);
        QCOMPARE(autoRaise(toolbar), flipped);
        QCOMPARE(DesktopToolbox::isFlat(&toolbar), !startsFlat);
        toolbox.toggleFlatToolbar(&toolbar);
        QCOMPARE(autoRaise(toolbar), start);
        QCOMPARE(DesktopToolbox::isFlat(&toolbar), startsFlat);
        toolbox.toggleFlatToolbar(nullptr); // harmless
    }

private:
    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestDesktopToolbox)
#include "test_desktop_toolbox.moc"

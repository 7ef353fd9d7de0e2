// The desktop toolbox (separate browser windows, mail, the flat toolbar) and
// the client's real ending, in a process of its own: panes on the stack,
// separate windows still open, seams::endProgram. The test runs itself as
// that process: "write" leaves a session cookie and two browser windows open
// at the end; "read" prints the cookie the next start finds.

#include "BrowserWindow.h"
#include "DesktopToolbox.h"
#include "Portal.h"
#include "Seams.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWebEngineProfile>
#include <cstdio>
#include <memory>

using namespace webtest;

namespace {

int probe(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication::setApplicationName(QStringLiteral("orvanta-web-exit-probe"));
    pagewindows::setMaker(&BrowserWindow::open);
    WebEnginePane pane;
    pane.show();
    DesktopToolbox toolbox;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [] {
        const auto windows = browserWindows();
        if (std::count_if(windows.begin(), windows.end(), [](BrowserWindow* w) {
                return w->windowTitle().startsWith(QStringLiteral("演示门户"));
            }) == 2) {
            std::printf("windows: 2\n");
            seams::endProgram();
        }
    });
    QObject::connect(&pane, &QWebEngineView::loadFinished, &app, [&](bool ok) {
        if (!ok)
            QCoreApplication::exit(3);
        else if (qstrcmp(argv[3], "read") == 0)
            pane.page()->runJavaScript(QStringLiteral("document.cookie"), [](const QVariant& v) {
                std::printf("cookie: %s\n", qPrintable(v.toString()));
                seams::endProgram();
            });
        else {
            pane.page()->runJavaScript(QStringLiteral("document.cookie = 'session=kept'; 1"));
            toolbox.openNewWindow(QString::fromLocal8Bit(argv[2]) + "popup.asp");
            toolbox.openNewWindow(QString::fromLocal8Bit(argv[2]) + "second.asp");
            poll.start(100);
        }
    });
    pane.navigate(QString::fromLocal8Bit(argv[2]) + "probe.asp");
    return QApplication::exec();
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
    static void initMain() { prepareApplication("orvanta-toolbox-test"); }

    // Standard output and error of one run that must end normally with 0.
    static QString run(const QString& dataHome, const QString& address, const char* mode) {
        QProcess probe;
        probe.setEnvironment(QProcess::systemEnvironment() << "XDG_DATA_HOME=" + dataHome);
        probe.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--probe"), address, QString::fromLatin1(mode)});
        probe.waitForFinished(2 * Patience) || (probe.kill(), probe.waitForFinished());
        const QString said =
            QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
        const bool clean = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
        return clean && !said.contains(QStringLiteral("Release of profile")) ? said
                                                                             : "unclean: " + said;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
    }

    // New windows leave the panes alone; mail goes to the desktop's mail
    // program; each toolbar toggle flips the buttons, whatever their style.
    void toolboxOpensWindowsSendsMailAndFlipsTheToolbar() {
        WebEnginePane main;
        QVERIFY(loadInto(main, portal::page(QStringLiteral("main.asp"))));

        DesktopToolbox toolbox;
        QVERIFY(!toolbox.openNewWindow(QString())); // nothing to show, no window
        QVERIFY(
            toolbox.openNewWindow(portal::page(QStringLiteral("tonghang/allcom.asp?city=上海"))));
        QCOMPARE(browserWindows().size(), 1);
        std::unique_ptr<BrowserWindow> window(browserWindows().front());
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(),
                                  QStringLiteral("演示门户 /tonghang/allcom.asp"), Patience);
        QCOMPARE(m_portal.count(QStringLiteral("GET /tonghang/allcom.asp?city=%C9%CF%BA%A3")), 1);
        QCOMPARE(window->pane()->page()->profile(), main.page()->profile()); // the same login
        QCOMPARE(m_portal.count(QStringLiteral("GET /main.asp")), 1);

        MailRecorder mail;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
        const bool sent = toolbox.sendMail(QStringLiteral("webmaster@velantrix.com"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QVERIFY(sent);
        QCOMPARE(mail.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:webmaster@velantrix.com"))});

        QToolBar toolbar;
        for (const char* caption : {"后退", "前进", "刷新"})
            toolbar.addAction(QString::fromUtf8(caption));
        const auto buttons = toolbar.findChildren<QToolButton*>();
        buttons[1]->setAutoRaise(false); // a mixed start: the others are flat by default
        for (const bool flat : {true, false}) {
            toolbox.toggleFlatToolbar(&toolbar);
            QCOMPARE(DesktopToolbox::isFlat(&toolbar), flat);
            for (QToolButton* button : buttons)
                QCOMPARE(button->autoRaise(), flat);
        }
    }

    void endsCleanlyAndKeepsTheLoginForTheNextStart() {
        QTemporaryDir dataHome;
        const QString first = run(dataHome.path(), m_portal.address(), "write");
        QVERIFY2(first.startsWith(QStringLiteral("windows: 2")), qPrintable(first));
        QVERIFY(QFileInfo::exists(dataHome.filePath(
            QStringLiteral("orvanta-web-exit-probe/QtWebEngine/Orvanta/Cookies"))));
        const QString second = run(dataHome.path(), m_portal.address(), "read");
        QVERIFY2(second.startsWith(QStringLiteral("cookie: session=kept")), qPrintable(second));
    }

private:
    DemoPortalProcess m_portal;
};

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    TestDesktopToolbox::initMain();
    QApplication app(argc, argv);
    TestDesktopToolbox test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop_toolbox.moc"

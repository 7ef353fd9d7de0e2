// What a misbehaving page can and cannot make a pane do, tried against the
// demo portal's hostile pages: downloads, links the desktop would open,
// windows, dialogs, permissions, passwords and printing.

#include "AppInfo.h"
#include "BrowserWindow.h"
#include "PageDialogs.h"
#include "PagePolicy.h"
#include "Portal.h"
#include "Seams.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace {

using webtest::browserWindows;
using webtest::clickElement;
using webtest::Patience;
using webtest::valueOf;

// Shown, as a hidden page's timers are slowed down.
bool loadInto(WebEnginePane& pane, const QString& address) {
    pane.resize(640, 480);
    pane.show();
    return webtest::loadInto(pane, address);
}

// Puts `standIn` into a seam until the end of the scope.
template <class Setter, class Handler> [[nodiscard]] auto swapIn(Setter set, Handler standIn) {
    return qScopeGuard([set, previous = set(std::move(standIn))] { set(previous); });
}

// Stands in for the desktop's opener for these schemes.
class OpenerRecorder : public QObject {
    Q_OBJECT
public:
    const QStringList schemes{"foo", "ms-settings", "mailto"};
    OpenerRecorder() {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenerRecorder() override {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// A top-level window like the main window: it counts the close box.
class HostWindow : public QWidget {
public:
    HostWindow() : pane(new WebEnginePane(this)) { resize(640, 480), pane->resize(640, 480); }
    WebEnginePane* pane;
    int closeAsked = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        ++closeAsked;
        e->ignore();
    }
};

QDialog* visibleDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

class TestPageSafety : public QObject {
    Q_OBJECT
public:
    static void initMain() {
        webtest::prepareApplication("orvanta-page-safety-test");
        // Downloads go to the home's download folder: a home of the test's own.
        static QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toLocal8Bit());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
    }

    void cleanup() { qDeleteAll(browserWindows()); }

    void craftedDownloadNamesStayInTheDownloadFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("autostart") << "../.config/autostart/x.desktop";
        QTest::newRow("climbs twice") << "../../name";
        QTest::newRow("absolute") << "/etc/cron.d/job";
        QTest::newRow("backslashes") << "..\\..\\boot.ini";
        QTest::newRow("hidden") << ".profile";
        QTest::newRow("only dots") << "..";
        QTest::newRow("control characters") << "a\x01\x1b[31mb.txt";
        QTest::newRow("very long") << QString(400, QChar(0x6587)) + QStringLiteral(".xls");
    }
    void craftedDownloadNamesStayInTheDownloadFolder() {
        QFETCH(QString, name);
        QTemporaryDir chosenFolder;
        QString suggested;
        const QString chosen = chosenFolder.filePath("chosen.bin");
        const auto asker = swapIn(setSaveLocationAsker, [&](const QString& path) {
            suggested = path;
            return chosen;
        });
        WebEnginePane pane;
        QPointer<QWebEngineDownloadRequest> download;
        connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested, &pane,
                [&](QWebEngineDownloadRequest* r) { download = r; });
        pane.navigate(portal::page("hostile/attachment.asp?name=") +
                      QString::fromLatin1(QUrl::toPercentEncoding(name)));
        QTRY_VERIFY_WITH_TIMEOUT(!download.isNull(), Patience);

        const QDir downloads(QDir::home().filePath("Downloads"));
        const QFileInfo offered(suggested);
        QCOMPARE(offered.absolutePath(), downloads.path());
        QVERIFY(downloads.exists());
        const QString file = offered.fileName();
        QVERIFY2(!file.isEmpty() && !file.startsWith('.') && !file.contains('/') &&
                     !file.contains('\\') && file.size() <= 200 && file.toUtf8().size() < 256 &&
                     std::none_of(file.begin(), file.end(), [](QChar c) { return c < ' '; }),
                 qPrintable(file));

        // The file goes where the user chose, and nowhere else.
        QTRY_COMPARE_WITH_TIMEOUT(download->state(), QWebEngineDownloadRequest::DownloadCompleted,
                                  Patience);
        QFile saved(chosen);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("demo attachment\n"));
        QVERIFY(!QFileInfo::exists(QDir::home().filePath(".config/autostart")));
        QVERIFY(downloads.isEmpty(QDir::Files | QDir::Hidden));
    }

    void linksTheDesktopWouldOpenGoNowhere() {
        OpenerRecorder desktop;
        WebEnginePane pane;
        QVERIFY(loadInto(pane, portal::page("hostile/schemes.asp")));
        valueOf(pane.page(), "location.href = 'foo://script'; 1");
        QVERIFY(clickElement(pane, "foo"));
        QVERIFY(clickElement(pane, "settings"));
        // The mail link is followed, as the client's own mail command would;
        // it comes after the others, so they had their chance.
        QVERIFY(clickElement(pane, "mail"));
        QTRY_VERIFY_WITH_TIMEOUT(!desktop.opened.isEmpty(), Patience);
        QCOMPARE(desktop.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:agent@example.com"))});
        QCOMPARE(pane.url().path(), QStringLiteral("/hostile/schemes.asp"));
    }

    void windowsOpenOnlyFromAClickAndNeverTooMany() {
        WebEnginePane pane;
        // Thirty window.open calls at load, without a click: none opens.
        QVERIFY(loadInto(pane, portal::page("hostile/popups.asp")));
        QVERIFY(clickElement(pane, "more"));
        // One click, one window: the other 29 of the burst get nothing.
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 1, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(browserWindows().front()->windowTitle().contains("popup.asp"),
                                 Patience);
        QTest::qWait(500);
        QCOMPARE(browserWindows().size(), 1);

        for (int i = 1; i < 10; ++i)
            pagewindows::open(pagewindows::Opener::User);
        const int requested = m_portal.count("GET /popup.asp?n=0");
        QVERIFY(clickElement(pane, "more"));
        QTest::qWait(1500);
        QCOMPARE(browserWindows().size(), 10);
        QCOMPARE(m_portal.count("GET /popup.asp?n=0"), requested);
    }

    void scriptDialogsAreAnsweredAndARunCanBeSilenced() {
        QList<pagedialogs::ScriptDialog> asked;
        QList<bool> offered;
        const auto asker =
            swapIn(pagedialogs::setScriptAsker, [&](QWidget*, const pagedialogs::ScriptDialog& d) {
                asked.append(d);
                offered.append(d.offerEscape);
                return pagedialogs::ScriptAnswer{true, QStringLiteral("李四"), d.offerEscape};
            });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, portal::page("dialogs.asp")));
        QCOMPARE(valueOf(pane.page(), "confirm('继续？')"), QVariant(true));
        QCOMPARE(valueOf(pane.page(), "prompt('姓名', '张三')"), QVariant(QStringLiteral("李四")));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].text, QStringLiteral("姓名"));
        QCOMPARE(asked[1].value, QStringLiteral("张三"));
        QCOMPARE(asked[1].site, QUrl(portal::baseUrl()).authority());
        // A page the client loads starts a new row: the page runs through all
        // its alerts with none reaching the user after the third.
        QVERIFY(loadInto(pane, portal::page("hostile/alerts.asp")));
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), "document.getElementById('count').textContent"),
            QVariant(QStringLiteral("200")), Patience);
        QCOMPARE(offered, (QList<bool>{false, false, false, false, true}));
    }

    void alertLeavesTheCloseBoxWorking() {
        HostWindow host;
        host.show();
        QVERIFY(loadInto(*host.pane, portal::page("alert.asp")));
        // The dialog waits in an event loop of its own: it is read and
        // answered from inside that loop.
        QString title;
        QStringList texts, buttons;
        bool plain = true, modal = true, closed = true;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QDialog* dialog = visibleDialog();
            if (!dialog)
                return;
            poll.stop();
            title = dialog->windowTitle();
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                plain = plain && label->textFormat() == Qt::PlainText;
                texts.append(label->text());
            }
            // Nothing modal: the main window's close box still reaches its question.
            modal = QApplication::activeModalWidget() != nullptr;
            closed = host.close();
            const auto found = dialog->findChildren<QAbstractButton*>();
            for (QAbstractButton* button : found)
                buttons.append(button->text());
            found.front()->click();
        });
        poll.start(50);
        QCOMPARE(valueOf(host.pane->page(), "alert('<b>注意</b>'); 'after'"), QVariant("after"));
        QCOMPARE(title, app::title());
        QVERIFY(plain); // the page's words, never markup
        QVERIFY(texts.contains(QStringLiteral("<b>注意</b>")));
        QVERIFY(!modal);
        QVERIFY(!closed);
        QCOMPARE(host.closeAsked, 1);
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }

    void permissionsAreRefusedWithoutAsking_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* script, const char* expected) {
            QTest::newRow(tag) << QString(script) << QString(expected);
        };
        row("notifications", "Notification.requestPermission()", "denied");
        row("camera", "navigator.mediaDevices.getUserMedia({video: true})", "");
        row("microphone", "navigator.mediaDevices.getUserMedia({audio: true})", "");
        row("screen", "navigator.mediaDevices.getDisplayMedia({video: true})", "");
        row("clipboard", "navigator.clipboard.readText()", "NotAllowedError");
    }
    void permissionsAreRefusedWithoutAsking() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        int asked = 0;
        const auto asker =
            swapIn(pagedialogs::setScriptAsker, [&](QWidget*, const pagedialogs::ScriptDialog&) {
                return ++asked, pagedialogs::ScriptAnswer{};
            });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, portal::page("permissions.asp")));
        // A promise that keeps its word gives "given", or the answer when it is a word.
        valueOf(pane.page(),
                "var r = 'waiting'; " + script +
                    ".then(v => r = typeof v == 'string' ? v : 'given', e => r = e.name); 1");
        QString outcome;
        QTRY_VERIFY_WITH_TIMEOUT((outcome = valueOf(pane.page(), "r").toString()) != "waiting",
                                 Patience);
        // Without a camera the engine refuses before asking: any refusal will do.
        QVERIFY2(expected.isEmpty() ? outcome != QLatin1String("given") : outcome == expected,
                 qPrintable(outcome));
        QCOMPARE(asked, 0);
    }

    void passwordIsAskedForAndCancelKeepsTheServersAnswer_data() {
        QTest::addColumn<bool>("give");
        QTest::addColumn<QString>("shown");
        // Cancelled first: the engine keeps given names for the rest of the session.
        QTest::newRow("cancelled") << false << "401 需要登录";
        QTest::newRow("given") << true << "已登录：agent";
    }
    void passwordIsAskedForAndCancelKeepsTheServersAnswer() {
        QFETCH(bool, give);
        QFETCH(QString, shown);
        QList<pagedialogs::AuthRequest> asked;
        const auto asker = swapIn(pagedialogs::setCredentialsAsker,
                                  [&](QWidget*, const pagedialogs::AuthRequest& r) {
                                      asked.append(r);
                                      return pagedialogs::Credentials{give, "agent", "secret"};
                                  });
        WebEnginePane pane;
        loadInto(pane, portal::page("hostile/login.asp?try=" + QString::number(give)));
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), "document.getElementById('state').textContent"), QVariant(shown),
            Patience);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].host, QStringLiteral("127.0.0.1"));
        QCOMPARE(asked[0].realm, QStringLiteral("Velantrix demo"));
        QVERIFY(!asked[0].proxy);
    }

    void printingEndsWithAWord_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("said");
        QTest::newRow("printed") << true << "打印完成。";
        QTest::newRow("failed") << false << "打印失败：无法打印此网页。";
    }
    void printingEndsWithAWord() {
        QFETCH(bool, writable);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QString pdf = folder.filePath(writable ? "page.pdf" : "missing/page.pdf");
        int previews = 0;
        const auto runner =
            swapIn(pagepolicy::setPrintRunner,
                   [&](QWidget*, QPrinter* printer, const std::function<void()>& paint) {
                       ++previews;
                       printer->setOutputFormat(QPrinter::PdfFormat);
                       printer->setOutputFileName(pdf);
                       paint();
                       return true;
                   });
        QStringList messages;
        const auto handler = swapIn(seams::setMessageHandler, [&](const seams::Message& m) {
            messages.append(m.text);
            return seams::Answer::Ok;
        });
        WebEnginePane pane;
        // window.print() at load...
        QVERIFY(loadInto(pane, portal::page("hostile/print.asp")));
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, Patience);
        // ...and Ctrl+P in the pane.
        pane.activateWindow();
        pane.setFocus();
        QTest::keyClick(pane.focusProxy() ? pane.focusProxy() : &pane, Qt::Key_P,
                        Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, Patience);
        QCOMPARE(previews, 2);
        QCOMPARE(messages, (QStringList{said, said}));
        if (writable) {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.read(5) == "%PDF-");
        }
    }

private:
    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestPageSafety)
#include "test_page_safety.moc"

// The splash and login windows over scripted seams.

#include "AppInfo.h"
#include "FrmLoad.h"
#include "FrmLogin.h"
#include "Module1.h"
#include "Portal.h"
#include "RecordingLinks.h"
#include "Seams.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

constexpr int Patience = 20000; // ms; web engines start slowly on a loaded machine

class TestStartupWindows : public QObject {
    Q_OBJECT

    QStringList log; // messages and programs started
    std::vector<seams::Message> asked;
    seams::Answer answer = seams::Answer::Ok;
    bool starterSucceeds = true;
    bool lineUp = true;
    int lineChecks = 0;

    void activate(QWidget* w) {
        w->show();
        w->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(w->isActiveWindow(), Patience);
    }

private slots:
    void initTestCase() {
        seams::setMessageHandler([this](const seams::Message& m) {
            asked.push_back(m);
            log << "message " + m.text;
            return answer;
        });
        seams::setProgramStarter([this](const QString& program, const QStringList& args) {
            log << "start " + (QStringList{program} + args).join(' ');
            return starterSucceeds;
        });
        seams::setBeep([this] { log << QStringLiteral("beep"); });
        Module1::SetConnectionTest([this] { return ++lineChecks && lineUp; });
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
    }
    void init() {
        log.clear();
        asked.clear();
        starterSucceeds = lineUp = true;
        lineChecks = 0;
    }

    void theSplashWritesTheShortcutsTellsAFailureAndHandsOverASecondLater() {
        RecordingLinks links;
        links.failAt = 1;
        links.failure = "拒绝访问。";
        int mainShown = 0;
        QPointer<FrmLoad> splash; // parentless and deleting itself, as in the program
        splash = new FrmLoad(links, [&] { mainShown += splash->isVisible() ? 100 : 1; });
        splash->Form_Load();
        // One failing link is told once and the later ones skipped; start-up goes on.
        QCOMPARE(links.calls.size(), 3);
        QCOMPARE(links.calls[0], "url Velantrix在线同行协作 https://www.velantrix.com");
        QCOMPARE(log, QStringList({"message 拒绝访问。", "beep"}));
        QCOMPARE(asked[0].buttons, seams::Buttons::Ok);
        QCOMPARE(splash->Timer1->interval(), 1000);
        splash->show();
        QCOMPARE(splash->size(), QSize(400, 320));         // 6000 x 4800 twips
        QCOMPARE(splash->windowType(), Qt::SplashScreen);  // frameless, no taskbar entry
        QTRY_COMPARE_WITH_TIMEOUT(mainShown, 1, Patience); // hidden before the hand-over
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), Patience);
    }

    void theLoginWindowShowsTheLocalWelcomePage() {
        QString result; // outlives the page and any answer still on its way
        frmLogin login;
        QCOMPARE(login.windowTitle(), QStringLiteral("Velantrix产业信息化研究办公室"));
        // The button sits above the page, not under it.
        QCOMPARE(login.childAt(login.CmdLogin->geometry().center()), login.CmdLogin);
        auto* view = qobject_cast<QWebEngineView*>(login.WebBrowser1.widget);
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(
            view->url(), QUrl::fromLocalFile(app::programFolder() + "/velantrix.htm"), Patience);
        // The welcome text and the login form, with nothing fetched from outside the file.
        const QString script =
            "document.body.innerText.includes('欢迎使用Orvanta同行协作办公信息系统')"
            " + '/' + performance.getEntriesByType('resource').length"
            " + '/' + document.forms[0].getAttribute('action')";
        const auto ask = [&] {
            view->page()->runJavaScript(script, [&](const QVariant& v) { result = v.toString(); });
            return result;
        };
        QTRY_COMPARE_WITH_TIMEOUT(ask(), QString("true/0/" PORTAL_BASE_URL "market/login1.asp"),
                                  Patience);
    }

    void withTheLineUpItIsCheckedOncePerShowing() {
        frmLogin login;
        QWidget other;
        activate(&login);
        QTRY_COMPARE_WITH_TIMEOUT(lineChecks, 1, Patience);
        activate(&other); // losing and regaining the focus is not a new showing
        activate(&login);
        QTest::qWait(100);
        QCOMPARE(lineChecks, 1);
    }

    void withTheLineDownTheQuestionIsAskedAndTheWindowUnloads() {
        const QString dial = "start nm-connection-editor";
        const std::tuple<seams::Answer, bool, QStringList> cases[] = {
            {seams::Answer::No, true, {}},
            {seams::Answer::Yes, true, {dial}},
            {seams::Answer::Yes, false, {dial, "message 无法启动：nm-connection-editor"}}};
        for (const auto& [reply, startWorks, after] : cases) {
            init();
            lineUp = false;
            answer = reply;
            starterSucceeds = startWorks;
            QPointer<frmLogin> login = new frmLogin;
            login->show();
            QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), Patience);
            QCOMPARE(log, QStringList{"message " + Module1::ConnectionQuestion()} + after);
            QCOMPARE(asked[0].buttons, seams::Buttons::YesNo);
            QVERIFY(asked[0].icon == seams::Icon::None && asked[0].title.isEmpty());
            QCOMPARE(asked.back().icon, startWorks ? seams::Icon::None : seams::Icon::Exclamation);
        }
    }

    void theLoginWindowIsShownModallyOncePerRun() {
        QPointer<frmLogin> shown;
        QTimer pressLogin; // closes the modal window once it has checked the line
        connect(&pressLogin, &QTimer::timeout, this, [&] {
            shown = qobject_cast<frmLogin*>(QApplication::activeModalWidget());
            if (shown && lineChecks > 0)
                shown->CmdLogin->click();
        });
        pressLogin.start(50);
        QWidget owner;
        showLoginWindowOnce(&owner);
        // Hidden by CmdLogin, it stays loaded; nothing was asked with the line up.
        QVERIFY(shown && !shown->isVisible() && asked.empty());
        QCOMPARE(shown->parentWidget(), &owner);
        showLoginWindowOnce(&owner);
        QCOMPARE(lineChecks, 1);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestStartupWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_startup_windows.moc"

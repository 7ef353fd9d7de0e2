// The login page window over scripted seams.

#include "AppInfo.h"
#include "ConnectionCheck.h"
#include "Dialler.h"
#include "LoginWindow.h"
#include "Portal.h"
#include "Seams.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

constexpr int Patience = 20000; // ms; web engines start slowly on a loaded machine

class TestLoginWindow : public QObject {
    Q_OBJECT

    QStringList log; // messages and programs started
    std::vector<seams::Message> asked;
    seams::Answer answer = seams::Answer::Ok;
    bool starterSucceeds = true, lineUp = true;
    QStringList missing; // programs that will not start
    int lineChecks = 0;

private slots:
    void initTestCase() {
        seams::setMessageHandler([this](const seams::Message& m) {
            asked.push_back(m);
            log << "message " + m.text;
            return answer;
        });
        seams::setProgramStarter([this](const QString& program, const QStringList& args) {
            // The dialler comes up, and a failure is told, with the login window gone.
            const QWidgetList windows = QApplication::topLevelWidgets();
            const bool over = std::any_of(windows.begin(), windows.end(), [](QWidget* w) {
                return qobject_cast<LoginWindow*>(w) && w->isVisible();
            });
            log << "start " + (QStringList{program} + args).join(' ') +
                       (over ? " over the login window" : "");
            return starterSucceeds && !missing.contains(program);
        });
        connection::SetConnectionTest([this] { return ++lineChecks && lineUp; });
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
    }
    void init() {
        log.clear(), asked.clear(), missing.clear();
        starterSucceeds = lineUp = true;
        lineChecks = 0;
    }

    void theLoginWindowShowsTheLocalWelcomePageAndChecksTheLineOncePerShowing() {
        QString result; // outlives the page and any answer still on its way
        LoginWindow login;
        QCOMPARE(login.windowTitle(), QStringLiteral("Velantrix产业信息化研究办公室"));
        // The button sits above the page, not under it.
        QCOMPARE(login.childAt(login.CmdLogin->geometry().center()), login.CmdLogin);
        QWidget other;
        for (QWidget* const w : std::initializer_list<QWidget*>{&login, &other, &login}) {
            w->show();
            w->activateWindow();
            QTRY_VERIFY_WITH_TIMEOUT(w->isActiveWindow(), Patience);
        }
        auto* view = login.WebBrowser1.widget->findChild<QWebEngineView*>();
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
        QCOMPARE(lineChecks, 1); // losing and regaining the focus is not a new showing
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
            QPointer<LoginWindow> login = new LoginWindow;
            login->show();
            QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), Patience);
            QCOMPARE(log, QStringList{"message 正在与www.velantrix.com服务器握手......\n\r\n\r╳,"
                                      "你还没有连接到网上，请先连到网上再试！现在连接(Y/N)"} +
                              after);
            // Yes and No, no icon, the application title.
            QVERIFY(asked[0].buttons == seams::Buttons::YesNo &&
                    asked[0].icon == seams::Icon::None && asked[0].title.isEmpty());
            QCOMPARE(asked.back().icon, startWorks ? seams::Icon::None : seams::Icon::Exclamation);
        }
    }

    void aDiallerThatWillNotStartGivesWayToTheNext() {
        const QList<QStringList> remoteAccess =
            connection::DiallerCommands(connection::DiallerKind::RemoteAccess, "My ISP");
        const QString designed = "start rundll rnaui.dll,RnaDial My ISP",
                      phonebook = "start rasphone -d My ISP";
        const std::pair<QStringList, QStringList> cases[] = {
            {{}, {designed}},
            {{"rundll"}, {designed, phonebook}},
            {{"rundll", "rasphone"},
             {designed, phonebook, "message 无法启动：rasphone -d My ISP"}}};
        for (const auto& [absent, expected] : cases) {
            init();
            missing = absent;
            QCOMPARE(StartDialler(remoteAccess), absent.size() < 2);
            QCOMPARE(log, expected);
        }
    }

    void theLoginWindowIsShownModallyOncePerRun() {
        QPointer<LoginWindow> shown;
        QTimer pressLogin; // closes the modal window once it has checked the line
        connect(&pressLogin, &QTimer::timeout, this, [&] {
            shown = qobject_cast<LoginWindow*>(QApplication::activeModalWidget());
            if (shown && lineChecks > 0)
                shown->CmdLogin->click();
        });
        pressLogin.start(50);
        // Should the check never come, close the window anyway and fail below rather than hang.
        QTimer::singleShot(Patience, &pressLogin, [&] { lineChecks += 100; });
        const QPointer<LoginWindow> kept = showLoginWindowOnce();
        // Hidden by CmdLogin, it stays loaded, owned by no window; nothing was asked with the line
        // up.
        QVERIFY(shown && kept == shown && !shown->isVisible() && !shown->parentWidget() &&
                asked.empty());
        QVERIFY(!showLoginWindowOnce());
        QCOMPARE(lineChecks, 1);
        delete shown;
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestLoginWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_login_window.moc"

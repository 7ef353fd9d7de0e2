// The splash and login page windows over scripted seams.

#include "AppInfo.h"
#include "ConnectionCheck.h"
#include "Dialler.h"
#include "LoginWindow.h"
#include "Portal.h"
#include "Seams.h"
#include "ShellLink.h"
#include "SplashWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

constexpr int Patience = 20000; // ms; web engines start slowly on a loaded machine

class TestStartupWindows : public QObject, shelllink::ShellLinkBackend {
    Q_OBJECT

    QStringList log; // messages, programs started, links made and the beep
    std::vector<seams::Message> asked;
    seams::Answer answer = seams::Answer::Ok;
    bool starterSucceeds = true, lineUp = true;
    QStringList missing; // programs that will not start
    int lineChecks = 0;

    shelllink::Outcome createLink(const std::string&, const std::string& caption,
                                  const std::string&, const std::string&, bool,
                                  std::string&) override {
        log << QString::fromStdString(caption);
        return {};
    }
    bool writeInternetShortcut(const std::string& name, const std::string&) override {
        log << QString::fromStdString(name);
        return true;
    }

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
        seams::setBeep([this] { log << "beep"; });
        connection::SetConnectionTest([this] { return ++lineChecks && lineUp; });
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
    }
    void init() {
        log.clear(), asked.clear(), missing.clear();
        starterSucceeds = lineUp = true;
        lineChecks = 0;
    }

    // Shortcuts first, then the timer and the beep; bare, centred, filled
    // with its artwork; one hand-over a second later.
    void theSplashLoadsShowsAndHandsOverOnce() {
        int mainShown = 0;
        QPointer<SplashWindow> splash = new SplashWindow(*this, [&] { ++mainShown; });
        QElapsedTimer clock;
        clock.start();
        splash->Form_Load();
        QCOMPARE(log, QStringList({"Velantrix在线同行协作", "Orvanta", "Orvanta从业工具箱",
                                   "Orvanta同行协作网络办公信息系统", "Brickvane游戏", "beep"}));
        QCOMPARE(splash->Timer1->interval(), 1000);
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        // 6000 x 4800 twips, filled with the artwork, with no frame and no taskbar entry
        QVERIFY(splash->size() == QSize(400, 320) && splash->Img1->geometry() == splash->rect() &&
                splash->Img1->pixmap().size() == QSize(400, 320));
        QVERIFY(splash->windowType() == Qt::SplashScreen &&
                splash->windowFlags() & Qt::FramelessWindowHint);
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), Patience); // and with it its timer
        QVERIFY(mainShown == 1 && clock.elapsed() >= 900);
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
            QCOMPARE(StartDialler(
                         {{"rundll", "rnaui.dll,RnaDial", "My ISP"}, {"rasphone", "-d", "My ISP"}}),
                     absent.size() < 2);
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Hidden by CmdLogin, it stays loaded, owned by no window; nothing was asked with the
        // line up.
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
    TestStartupWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_startup_windows.moc"

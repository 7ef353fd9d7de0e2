// The main window's logic over recording panes, a recording toolbox and
// scripted message boxes.

#include "Fakes.h"
#include "FrmMain.h"
#include "Portal.h"
#include "Seams.h"
#include "WebEngineModule.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
const QString Base = QStringLiteral("http://127.0.0.1:9/");
const QString BusyQuestion = QStringLiteral(
    "本软件启用了安全设置，上次你非法与同行协作网服器断开，请关闭本软件再重新启动!(Y/N)");
const QString CloseQuestion = QStringLiteral(
    "为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n你确认要关掉‘Orvanta’吗(Y/N)？");
} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    QStringList log;
    QList<seams::Message> messages;
    QList<seams::Answer> answers; // given in turn; No once they run out
    FakeToolbox toolbox{&log};
    int logins = 0;
    std::function<void(double)> wait;
    seams::MessageHandler previousMessages;
    seams::Action previousBeep;
    seams::Action previousEnd;

    std::unique_ptr<FrmMain> makeWindow(bool anotherCopy = false) {
        FrmMain::Services s;
        s.makePane = [this](QWidget* parent) { return makeFakePane(parent, &log); };
        s.makeToolbox = [this]() -> Toolbox* { return &toolbox; };
        s.anotherCopyRunning = [anotherCopy] { return anotherCopy; };
        s.showLogin = [this] { ++logins; };
        s.waitSeconds = [this](double seconds) {
            log << "wait " + QString::number(seconds);
            if (wait)
                wait(seconds);
        };
        return std::make_unique<FrmMain>(std::move(s));
    }

    // A window after its load handler, with the log of the load cleared.
    std::unique_ptr<FrmMain> loadedWindow() {
        auto w = makeWindow();
        w->Form_Load();
        log.clear();
        return w;
    }

    QStringList sidePaneCalls() const {
        QStringList calls;
        for (const QString& entry : log)
            if (entry.startsWith("Ad ") || entry.startsWith("Bbs ") || entry.startsWith("Com ") ||
                entry.startsWith("Team "))
                calls << entry;
        return calls;
    }

private slots:
    void initTestCase() {
        portal::setBaseUrl(Base);
        previousMessages = seams::setMessageHandler([this](const seams::Message& m) {
            messages << m;
            log << "message " + m.text;
            if (!answers.isEmpty())
                return answers.takeFirst();
            return m.buttons == seams::Buttons::YesNo ? seams::Answer::No : seams::Answer::Ok;
        });
        previousBeep = seams::setBeep([this] { log << QStringLiteral("beep"); });
        previousEnd = seams::setEndProgram([this] { log << QStringLiteral("end"); });
    }

    void cleanupTestCase() {
        seams::setMessageHandler(previousMessages);
        seams::setBeep(previousBeep);
        seams::setEndProgram(previousEnd);
    }

    void init() {
        log.clear();
        messages.clear();
        answers.clear();
        toolbox.succeeds = true;
        logins = 0;
        wait = nullptr;
    }

    void loadOpensTheFirstPagesInOrderWithoutStopping() {
        auto w = makeWindow();
        QVERIFY(w->Form_Load());
        const QString local = QCoreApplication::applicationDirPath() + "/velantrix.htm";
        QCOMPARE(log, QStringList({"toolbox colour 255", "Ad navigate " + Base + "market\\ad.asp",
                                   "Main navigate " + local, "Bbs navigate " + Base + "chat/",
                                   "Com navigate " + Base + "chat/VIEWROOM2.asp",
                                   "Team navigate " + Base + "tonghang/infolist-mem.asp"}));
        QVERIFY(messages.isEmpty());
    }

    void withoutAWebEngineTheWindowStillOpensAndStaysQuiet() {
        FrmMain::Services s;
        s.makePane = makeBlankPane;
        FrmMain w(std::move(s));
        QVERIFY(w.Form_Load());
        QVERIFY(w.WebBrowserMain && w.WebBrowserTeam);
        QCOMPARE(w.WebBrowserMain->navigate(Base), pane::Failed);
        w.GotoWeb(QString());
        w.OpenNewWindow(QString());
        QVERIFY(!w.SendMailTo(QStringLiteral("a@b")));
        QVERIFY(messages.isEmpty());
    }

    void loadSetsCaptionSizeAndReserves() {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), Title + "------旅游从业者工作必备百宝箱" + QString(14, ' ') +
                                       "http://127.0.0.1:9系列旅游软件家庭成员");
        QVERIFY(w->Form_Load());
        QCOMPARE(w->size(), QSize(800, 587)); // 12000 x 8800 twips
        QCOMPARE(w->MainHeightReserve, 3778.0f);
        QCOMPARE(w->MainWidthReserve, 3000.0f);
    }

    void loginTimerTicksOnceHalfASecondAfterLoad() {
        auto w = makeWindow();
        QElapsedTimer clock;
        clock.start();
        w->Form_Load();
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 500);
        QCOMPARE(logins, 0);
        QTRY_COMPARE_WITH_TIMEOUT(logins, 1, 10000);
        QVERIFY(clock.elapsed() >= 450);
        QTest::qWait(1200);
        QCOMPARE(logins, 1);
        QVERIFY(!w->Timer1->isActive());
    }

    void secondCopyIsToldAndEndsWithoutMakingPanes() {
        auto w = makeWindow(true);
        QVERIFY(!w->Form_Load());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, Title + "已经在运行中！");
        QCOMPARE(messages[0].buttons, seams::Buttons::Ok);
        QCOMPARE(messages[0].icon, seams::Icon::Exclamation);
        QVERIFY(messages[0].title.isEmpty() || messages[0].title == Title);
        QCOMPARE(log.last(), QStringLiteral("end"));
        QVERIFY(!w->WebBrowserMain && !w->WebBrowserAd);
        QVERIFY(!w->Timer1->isActive());
        // Whatever reaches the window afterwards finds no pane and does nothing.
        w->GotoWeb(Base);
        w->GotoCity(QStringLiteral("北京"));
        QCOMPARE(log.size(), 2);
    }

    void framesAndPanesSitInTheirContainers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("FrameMain") << "FrameMain"
                                   << "" << QRect(0, 56, 600, 335);
        QTest::newRow("FrameBbs") << "FrameBbs"
                                  << "" << QRect(608, 56, 180, 333);
        QTest::newRow("FrameTonghang") << "FrameTonghang"
                                       << "" << QRect(0, 392, 600, 152);
        QTest::newRow("FrameAd") << "FrameAd"
                                 << "" << QRect(608, 392, 180, 152);
        QTest::newRow("FrameTeam") << "FrameTeam"
                                   << "FrameTonghang" << QRect(8, 16, 180, 129);
        QTest::newRow("FrameTourist") << "FrameTourist"
                                      << "FrameTonghang" << QRect(196, 16, 162, 129);
        QTest::newRow("FrameTouristAll") << "FrameTouristAll"
                                         << "FrameTonghang" << QRect(360, 16, 233, 129);
        QTest::newRow("Command1") << "Command1"
                                  << "FrameTonghang" << QRect(2, 8, 33, 23);
        QTest::newRow("Command2") << "Command2"
                                  << "FrameBbs" << QRect(2, 8, 33, 23);
        QTest::newRow("WebBrowserMain") << "WebBrowserMain"
                                        << "FrameMain" << QRect(3, 8, 595, 322);
        QTest::newRow("WebBrowserBbs") << "WebBrowserBbs"
                                       << "FrameBbs" << QRect(3, 9, 175, 320);
        QTest::newRow("WebBrowserTeam") << "WebBrowserTeam"
                                        << "FrameTeam" << QRect(2, 12, 175, 116);
        QTest::newRow("WebBrowserCom") << "WebBrowserCom"
                                       << "FrameTourist" << QRect(2, 11, 157, 116);
        QTest::newRow("WebBrowserAd") << "WebBrowserAd"
                                      << "FrameAd" << QRect(3, 9, 175, 141);
    }
    void framesAndPanesSitInTheirContainers() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, pixels);
        auto w = makeWindow();
        w->Form_Load();
        const auto* widget = w->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), pixels);
        const QWidget* expected =
            container.isEmpty() ? w->centralWidget() : w->findChild<QWidget*>(container);
        QCOMPARE(widget->parentWidget(), expected);
    }

    void panelButtonsStayAbovePanesAndFramesCarryTheirTexts() {
        auto w = makeWindow();
        w->Form_Load();
        QCOMPARE(w->FrameBbs->childAt(10, 15), w->Command2);
        QCOMPARE(w->FrameTonghang->childAt(10, 15), w->Command1);
        QCOMPARE(w->Command1->toolTip(), QStringLiteral("隐藏此控制面板"));
        QCOMPARE(w->Command2->toolTip(), QStringLiteral("隐藏此同行对话交流控制面板"));
        QVERIFY(w->Command1->text().isEmpty() && !w->Command1->icon().isNull());
        QCOMPARE(w->FrameTeam->title(), QStringLiteral("      同行协作网组团中心"));
        QCOMPARE(w->FrameTourist->title(), QStringLiteral("全省在线企业"));
        QCOMPARE(w->FrameTouristAll->title(), QStringLiteral("全国各省同行●跨省求助"));
        for (const QGroupBox* untitled : {w->FrameMain, w->FrameBbs, w->FrameTonghang, w->FrameAd})
            QVERIFY(untitled->title().isEmpty());
    }

    void gotoWebStopsThenNavigatesTheMainPaneOnly_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("navigated");
        QTest::newRow("empty is the home page") << "" << Base;
        QTest::newRow("null is the home page") << QString() << Base;
        QTest::newRow("Chinese query as written") << Base + "market/MemSearch.asp?InfoType=职员"
                                                  << Base + "market/MemSearch.asp?InfoType=职员";
        QTest::newRow("escapes untouched") << Base + "tonghang/allcom.asp?type=%B3%B5%C1%BE"
                                           << Base + "tonghang/allcom.asp?type=%B3%B5%C1%BE";
        QTest::newRow("backslash kept") << Base + "market\\ad.asp" << Base + "market\\ad.asp";
    }
    void gotoWebStopsThenNavigatesTheMainPaneOnly() {
        QFETCH(QString, address);
        QFETCH(QString, navigated);
        auto w = loadedWindow();
        w->GotoWeb(address);
        QCOMPARE(log, QStringList({"Main stop", "Main navigate " + navigated}));
        QVERIFY(messages.isEmpty());
    }

    void gotoWebBusyErrorAsksAndYesEnds_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<seams::Answer>("answer");
        QTest::addColumn<QStringList>("expected");
        const QString page = Base + "myorder.asp";
        QTest::newRow("navigate busy, Yes") << "navigate" << seams::Answer::Yes
                                            << QStringList({"Main stop", "Main navigate " + page,
                                                            "message " + BusyQuestion, "end"});
        QTest::newRow("navigate busy, No")
            << "navigate" << seams::Answer::No
            << QStringList({"Main stop", "Main navigate " + page, "message " + BusyQuestion});
        QTest::newRow("stop busy, Yes")
            << "stop" << seams::Answer::Yes
            << QStringList({"Main stop", "message " + BusyQuestion, "end"});
        QTest::newRow("stop busy, No: left stopped")
            << "stop" << seams::Answer::No << QStringList({"Main stop", "message " + BusyQuestion});
    }
    void gotoWebBusyErrorAsksAndYesEnds() {
        QFETCH(QString, failing);
        QFETCH(seams::Answer, answer);
        QFETCH(QStringList, expected);
        auto w = loadedWindow();
        static_cast<FakePane*>(w->WebBrowserMain.browser)->results[failing] = pane::Busy;
        answers << answer;
        w->GotoWeb(Base + "myorder.asp");
        QCOMPARE(log, expected);
        QCOMPARE(messages[0].buttons, seams::Buttons::YesNo);
        QCOMPARE(messages[0].icon, seams::Icon::None);
        QCOMPARE(messages[0].title, Title);
    }

    void gotoWebIgnoresEveryOtherFailure() {
        auto w = loadedWindow();
        auto* main = static_cast<FakePane*>(w->WebBrowserMain.browser);
        main->results[QStringLiteral("stop")] = pane::Failed;
        main->results[QStringLiteral("navigate")] = pane::Failed;
        w->GotoWeb(Base + "date.htm");
        QCOMPARE(log, QStringList({"Main stop", "Main navigate " + Base + "date.htm"}));
        QVERIFY(messages.isEmpty());
    }

    void gotoCityTouchesOnlyTheMainPane_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("北京") << "北京";
        QTest::newRow("黑龙江") << "黑龙江";
    }
    void gotoCityTouchesOnlyTheMainPane() {
        QFETCH(QString, name);
        auto w = loadedWindow();
        w->GotoCity(name);
        QCOMPARE(log, QStringList({"Main stop",
                                   "Main navigate " + Base + "tonghang/allcom.asp?city=" + name}));
    }

    void openNewWindowNeverTouchesAPane_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("toolboxSucceeds");
        QTest::addColumn<QString>("opened");
        QTest::newRow("empty is the home page") << "" << true << Base;
        QTest::newRow("address as written")
            << Base + "guider/service/" << true << Base + "guider/service/";
        QTest::newRow("failure stays silent") << Base + "x.asp" << false << Base + "x.asp";
    }
    void openNewWindowNeverTouchesAPane() {
        QFETCH(QString, address);
        QFETCH(bool, toolboxSucceeds);
        QFETCH(QString, opened);
        auto w = loadedWindow();
        toolbox.succeeds = toolboxSucceeds;
        w->OpenNewWindow(address);
        QCOMPARE(log, QStringList({"toolbox openNewWindow " + opened}));
        QVERIFY(messages.isEmpty());
    }

    void sendMailToHandsTheAddressOverAndReportsFailure() {
        auto w = loadedWindow();
        QVERIFY(w->SendMailTo(QStringLiteral("webmaster@127.0.0.1")));
        toolbox.succeeds = false;
        QVERIFY(!w->SendMailTo(QStringLiteral("a@b")));
        QCOMPARE(log,
                 QStringList({"toolbox sendMail webmaster@127.0.0.1", "toolbox sendMail a@b"}));
        QVERIFY(messages.isEmpty());
    }

    void toolbarLogOffButtonOpensTheExitPage() {
        auto w = loadedWindow();
        w->Toolbar1_ButtonClick(0);
        w->Toolbar1_ButtonClick(19);
        QVERIFY(log.isEmpty());
        w->Toolbar1_ButtonClick(18);
        QCOMPARE(log, QStringList({"Main stop", "Main navigate " + Base + "market/exit.asp"}));
    }

    void closeAnsweredNoLeavesEverythingAsItWas() {
        auto w = loadedWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        answers << seams::Answer::No;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(log, QStringList({"message " + CloseQuestion}));
        QCOMPARE(messages[0].buttons, seams::Buttons::YesNo);
        QCOMPARE(messages[0].icon, seams::Icon::Question);
        QCOMPARE(messages[0].title, Title);
        // And it asks again next time.
        answers << seams::Answer::No;
        QVERIFY(!w->close());
        QCOMPARE(messages.size(), 2);
    }

    void closeAnsweredYesLogsOffWaitsBeepsAndEnds() {
        auto w = loadedWindow();
        w->show();
        answers << seams::Answer::Yes;
        w->close();
        QCOMPARE(log, QStringList({"message " + CloseQuestion, "Main stop",
                                   "Main navigate " + Base + "market/exit.asp", "wait 4", "beep",
                                   "end"}));
    }

    void closingAgainWhileUnloadingDoesNotAskAgain() {
        auto w = loadedWindow();
        w->show();
        answers << seams::Answer::Yes;
        bool closedAgain = true;
        wait = [&](double) {
            QCloseEvent again; // as the window system would send it
            QCoreApplication::sendEvent(w.get(), &again);
            closedAgain = again.isAccepted();
        };
        w->close();
        QVERIFY(!closedAgain);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(log.count(QStringLiteral("end")), 1);
    }

    void busyExitPageAnsweredYesEndsAtOnce() {
        auto w = loadedWindow();
        static_cast<FakePane*>(w->WebBrowserMain.browser)->results[QStringLiteral("navigate")] =
            pane::Busy;
        answers << seams::Answer::Yes << seams::Answer::Yes;
        w->show();
        w->close();
        QCOMPARE(log, QStringList({"message " + CloseQuestion, "Main stop",
                                   "Main navigate " + Base + "market/exit.asp",
                                   "message " + BusyQuestion, "end"}));
    }

    void busyExitPageAnsweredNoStillWaitsAndEnds() {
        auto w = loadedWindow();
        static_cast<FakePane*>(w->WebBrowserMain.browser)->results[QStringLiteral("navigate")] =
            pane::Busy;
        answers << seams::Answer::Yes << seams::Answer::No;
        w->show();
        w->close();
        QCOMPARE(log.mid(3), QStringList({"message " + BusyQuestion, "wait 4", "beep", "end"}));
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"

// The main window over recording panes and scripted message boxes, the test
// itself being the toolbox: loading, showing pages, closing, and what every
// menu item, toolbar button, region label and panel control asks for. For the
// single-instance rule the test runs itself as copies of the program, with the
// real rule and blank panes, saying on standard output what they were told.
// Last, the window with real web panes against the demo portal: what a sample
// of controls makes the portal receive, Chinese queries in GBK and pre-encoded
// ones untouched.

#include "MainWindow.h"
#include "MenuTable.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "RegionTable.h"
#include "Seams.h"
#include "SingleInstance.h"
#include "ToolbarTable.h"
#include "Toolbox.h"
#include "Twips.h"
#include "WebEngineModule.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenuBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <cstdio>

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:9/");
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
const QString Busy = QStringLiteral(
    "message 本软件启用了安全设置，上次你非法与同行协作网服器断开，请关闭本软件再重新启动!(Y/N)");
const QString Close = QStringLiteral(
    "message 为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n你确认要关掉‘Orvanta’吗(Y/N)？");

// Logs every call as "<frame> <call>"; `results` says what an operation answers.
class FakePane : public QWidget, public BrowserPane {
public:
    FakePane(QWidget* frame, QStringList* log) : QWidget(frame), log_(log) {}
    QHash<QString, pane::Result> results;
    pane::Result navigate(const QString& address) override { return record("navigate " + address); }
    pane::Result stop() override { return record(QStringLiteral("stop")); }
    pane::Result goBack() override { return record(QStringLiteral("goBack")); }
    pane::Result goForward() override { return record(QStringLiteral("goForward")); }
    pane::Result refresh() override { return record(QStringLiteral("refresh")); }
    pane::Result setWidth(double) override { return pane::Ok; }
    pane::Result setHeight(double) override { return pane::Ok; }

private:
    pane::Result record(const QString& call) {
        log_->append(parent()->objectName() + ' ' + call);
        return results.value(call.section(' ', 0, 0), pane::Ok);
    }
    QStringList* log_;
};

QStringList mainPage(const QString& path) {
    return {QStringLiteral("FrameMain stop"), "FrameMain navigate " + Base + path};
}
const QStringList PeerLogin = {"FrameBbs stop", "FrameBbs navigate " + Base + "market/login1.asp"};

int runCopy(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    seams::setMessageHandler([](const seams::Message& m) {
        std::printf("message %s\n", qPrintable(m.text));
        return seams::Answer::Ok;
    });
    seams::setEndProgram([] { QCoreApplication::exit(3); });
    SingleInstance instance(SingleInstance::lockPathFor(QStringLiteral("Orvanta")));
    MainWindow::Services services;
    services.makePane = makeBlankPane;
    services.anotherCopyRunning = [&] { return instance.anotherCopyRunning(); };
    MainWindow window(std::move(services));
    QTimer::singleShot(0, &window, [&] { // the end program seam needs a running loop
        if (window.Form_Load())
            std::printf("loaded\n");
    });
    return QApplication::exec();
}

} // namespace

class TestMainWindow : public QObject, public Toolbox {
    Q_OBJECT

    QStringList log;
    QList<seams::Message> messages;
    QList<seams::Answer> answers; // given in turn; No once they run out
    bool succeeds = true, programStarts = true;
    std::function<void()> whileWaiting;
    QTemporaryDir runtime;
    const QString game = QCoreApplication::applicationDirPath() + "/game";

    bool openNewWindow(const QString& a) override { return record("openNewWindow " + a); }
    bool sendMail(const QString& a) override { return record("sendMail " + a); }
    void toggleFlatToolbar(QToolBar*) override { record(QStringLiteral("flat")); }
    void setColour(quint32 bgr) override { record("colour " + QString::number(bgr)); }
    bool record(const QString& call) {
        log << "toolbox " + call;
        return succeeds;
    }

    // Over recording panes, or the real ones.
    std::unique_ptr<MainWindow> makeWindow(bool webPanes = false) {
        MainWindow::Services s;
        s.makePane = [this, webPanes](QWidget* frame) {
            const auto slot = [](auto* pane) { return PaneSlot{pane, pane}; };
            return webPanes ? slot(new WebEnginePane(frame)) : slot(new FakePane(frame, &log));
        };
        s.makeToolbox = [this] { return this; };
        s.waitSeconds = [this](double seconds) {
            log << "wait " + QString::number(seconds);
            if (whileWaiting)
                whileWaiting();
        };
        s.showCalendar = [this](QWidget* owner) { log << (owner ? "calendar" : "no owner"); };
        s.showAbout = [this] { log << QStringLiteral("about"); };
        s.offerToConnect = [this] { log << QStringLiteral("offer to connect"); };
        return std::make_unique<MainWindow>(std::move(s));
    }

    // A loaded window on screen, with the log of its load cleared and the
    // fakes as they start.
    std::unique_ptr<MainWindow> shownWindow() {
        auto w = makeWindow();
        w->Form_Load();
        w->show();
        (void)QTest::qWaitForWindowExposed(w.get()); // the checks fail if it never shows
        log.clear();
        messages.clear();
        succeeds = programStarts = true;
        whileWaiting = nullptr;
        return w;
    }

    static FakePane* fake(const PaneSlot& slot) { return static_cast<FakePane*>(slot.browser); }
    static QToolButton* button(MainWindow& w, int n) {
        return qobject_cast<QToolButton*>(w.Toolbar1->widgetForAction(w.ToolbarButtons[n - 1]));
    }

    // The window shows exactly what its layout says.
    static void checkWindowFollowsLayout(MainWindow& w) {
        const layout::Controls& c = w.Layout.controls();
        const layout::Geometry* model[] = {&c.FrameMain,       &c.FrameBbs,       &c.FrameTonghang,
                                           &c.FrameAd,         &c.FrameTeam,      &c.FrameTourist,
                                           &c.FrameTouristAll, &c.WebBrowserMain, &c.WebBrowserBbs,
                                           &c.WebBrowserCom,   &c.WebBrowserTeam};
        const char* names[] = {"FrameMain",       "FrameBbs",       "FrameTonghang",
                               "FrameAd",         "FrameTeam",      "FrameTourist",
                               "FrameTouristAll", "WebBrowserMain", "WebBrowserBbs",
                               "WebBrowserCom",   "WebBrowserTeam"};
        for (int i = 0; i < 11; ++i) {
            const QWidget* widget = w.findChild<QWidget*>(names[i]);
            const layout::Geometry& g = *model[i];
            QVERIFY2(widget && !widget->isHidden() == g.visible, names[i]);
            QCOMPARE(widget->geometry(), twips::rect(g.left, g.top, g.width, g.height));
        }
        const layout::PanelState& p = w.Layout.panels();
        const QAction* sysBbs = w.MenuItems.value(QStringLiteral("SysBbs"));
        QCOMPARE(QVariantList({sysBbs->isChecked(), w.MenuItems.value("SysTonghang")->isChecked(),
                               sysBbs->isEnabled(), w.Command1->isEnabled(), button(w, 16)->text(),
                               button(w, 17)->text()}),
                 QVariantList({p.sysBbsChecked, p.sysTonghangChecked, p.panelControlsEnabled,
                               p.panelControlsEnabled, p.button16Caption, p.button17Caption}));
    }

private slots:
    void initTestCase() {
        portal::setBaseUrl(Base);
        seams::setMessageHandler([this](const seams::Message& m) {
            messages << m;
            log << "message " + m.text;
            return answers.isEmpty() ? seams::Answer::No : answers.takeFirst();
        });
        seams::setProgramStarter([this](const QString& program, const QStringList&) {
            log << "start " + program;
            return programStarts;
        });
        seams::setBeep([this] { log << QStringLiteral("beep"); });
        seams::setEndProgram([this] { log << QStringLiteral("end"); });
    }

    void loadOpensTheFirstPagesInOrderAndShowsTheTexts() {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), Title + "------旅游从业者工作必备百宝箱" + QString(14, ' ') +
                                       "http://127.0.0.1:9系列旅游软件家庭成员");
        QVERIFY(w->Form_Load());
        QCOMPARE(log,
                 QStringList({"toolbox colour 255", "FrameAd navigate " + Base + "market\\ad.asp",
                              "FrameMain navigate " + QCoreApplication::applicationDirPath() +
                                  "/velantrix.htm",
                              "FrameBbs navigate " + Base + "chat/",
                              "FrameTourist navigate " + Base + "chat/VIEWROOM2.asp",
                              "FrameTeam navigate " + Base + "tonghang/infolist-mem.asp"}));
        QCOMPARE(w->size(), QSize(800, 587)); // 12000 x 8800 twips
        QCOMPARE(
            QStringList({w->Command1->toolTip(), w->Command2->toolTip(), w->FrameTeam->title(),
                         w->FrameTourist->title(), w->FrameTouristAll->title(),
                         button(*w, 6)->toolTip(), w->MenuItems.value("TeamHotel")->text(),
                         w->MenuItems.value("VelantrixSoft")->text()}),
            QStringList({"隐藏此控制面板", "隐藏此同行对话交流控制面板", "      同行协作网组团中心",
                         "全省在线企业", "全国各省同行●跨省求助", "管理你在127.0.0.1上的订单",
                         "酒店空房信息　", "旅游软件开发订制服务 "}));
        QCOMPARE(w->MenuItems.size(), 84);
    }

    // Starts a copy of the program; all it said until it loaded or ended.
    QString startCopy(QProcess& copy) {
        copy.setEnvironment(QProcess::systemEnvironment() << "XDG_RUNTIME_DIR=" + runtime.path());
        copy.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--copy")});
        QString said;
        while (!said.contains(QStringLiteral("loaded\n")) && copy.waitForReadyRead(60000))
            said += QString::fromUtf8(copy.readAllStandardOutput());
        return said + QString::fromUtf8(copy.readAllStandardOutput());
    }

    void secondCopyIsRefusedAndACrashedOneDoesNotKeepTheNextOut() {
        QProcess first, second, next;
        QCOMPARE(startCopy(first), QStringLiteral("loaded\n"));
        QCOMPARE(startCopy(second), "message " + Title + "已经在运行中！\n");
        QCOMPARE(second.exitCode(), 3);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill(); // no chance to remove its lock
        QVERIFY(first.waitForFinished(60000));
        QVERIFY(QFile::exists(runtime.filePath(QStringLiteral("Orvanta.lock"))));
        QCOMPARE(startCopy(next), QStringLiteral("loaded\n"));
        next.kill();
        QVERIFY(next.waitForFinished(60000));
    }

    // A lock file no running copy holds never keeps the program out, whatever
    // it says; the copy that takes it over then holds it for real.
    void abandonedLockIsTakenOverWhateverItSays() {
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray ownPid = QByteArray::number(QCoreApplication::applicationPid());
        const std::pair<const char*, QByteArray> cases[] = {
            {"empty", {}},
            {"garbled", QByteArray("\x00\xff\xfe lock?\n\x01", 13)},
            {"another host's", "4242\nOrvanta\nanother-host.example\n"},
            {"a live process that is no copy", ownPid + "\nOrvanta\n" + host + '\n'},
        };
        const QString lock = runtime.filePath(QStringLiteral("Orvanta.lock"));
        for (const auto& [name, contents] : cases) {
            QFile file(lock);
            QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), name);
            file.write(contents);
            file.close();
            QProcess copy, second;
            QVERIFY2(startCopy(copy) == QStringLiteral("loaded\n"), name);
            QVERIFY2(startCopy(second) == "message " + Title + "已经在运行中！\n", name);
            copy.kill();
            QVERIFY(copy.waitForFinished(60000));
        }
    }

    // Only the busy error asks; Yes ends, No leaves the pane stopped.
    void gotoWebStopsThenNavigatesTheMainPaneOnly() {
        const QString order = Base + "myorder.asp";
        const std::tuple<QString, QString, pane::Result, seams::Answer, QStringList> cases[] = {
            {"", "", pane::Ok, seams::Answer::No, mainPage("")},
            {Base + "a.asp?T=职员", "", pane::Ok, seams::Answer::No, mainPage("a.asp?T=职员")},
            {order, "navigate", pane::Failed, seams::Answer::Yes, mainPage("myorder.asp")},
            {order, "navigate", pane::Busy, seams::Answer::Yes,
             mainPage("myorder.asp") << Busy << "end"},
            {order, "navigate", pane::Busy, seams::Answer::No, mainPage("myorder.asp") << Busy},
            {order, "stop", pane::Busy, seams::Answer::No, {"FrameMain stop", Busy}},
        };
        for (const auto& [address, failing, result, answer, expected] : cases) {
            auto w = shownWindow();
            fake(w->WebBrowserMain)->results[failing] = result;
            answers = {answer};
            w->GotoWeb(address);
            QCOMPARE(log, expected);
        }
    }

    // Region names and items reach GotoCity and OpenNewWindow through the
    // tables below; here what only a direct call can show.
    void emptyWindowAddressFailingToolboxAndMissingGame() {
        auto w = shownWindow();
        succeeds = programStarts = false;
        w->OpenNewWindow(QString());
        w->HelpGame_Click(87);
        QCOMPARE(log, QStringList({"toolbox openNewWindow " + Base, "start " + game,
                                   "message 无法启动：" + game}));
    }

    // Closing asks; Yes logs off, waits, beeps and ends. A close arriving while
    // it waits is not asked again.
    void closeAsksThenUnloads() {
        using A = seams::Answer;
        const QStringList loggedOff = QStringList{Close} + mainPage("market/exit.asp");
        const std::pair<QList<A>, QStringList> cases[] = {
            {{A::No}, {Close}},
            {{A::Yes}, loggedOff + QStringList{"wait 4", "beep", "end"}},
            {{A::Yes, A::Yes}, loggedOff + QStringList{Busy, "end"}},
            {{A::Yes, A::No}, loggedOff + QStringList{Busy, "wait 4", "beep", "end"}},
        };
        for (const auto& [given, expected] : cases) {
            auto w = shownWindow();
            if (given.size() > 1) // the exit page answers busy
                fake(w->WebBrowserMain)->results[QStringLiteral("navigate")] = pane::Busy;
            answers = given;
            whileWaiting = [&] {
                QCloseEvent again; // as the window system would send it
                QCoreApplication::sendEvent(w.get(), &again);
                QVERIFY(!again.isAccepted());
            };
            w->close();
            QCOMPARE(log, expected);
            QVERIFY(messages[0].icon == seams::Icon::Question && messages[0].title == Title);
            QCOMPARE(w->isVisible(), given[0] == A::No);
        }
    }

    // Each of the 84 items: where the window shows it and what its click asks.
    void menuItemsAskForWhatTheirRowsSay() {
        const QHash<QString, QStringList> handlers = {
            {"SysLogin", PeerLogin}, {"SysToolBar", {"toolbox flat"}},
            {"SysExit", {Close}},    {"SysTest", {"offer to connect"}},
            {"HelpThis", {"about"}}, {"HelpGame", {"start " + game}}};
        const auto bar = menus::menuBar();
        for (qsizetype m = 0; m < qsizetype(bar.size()); ++m) {
            for (qsizetype i = 0; i < qsizetype(bar[m].items.size()); ++i) {
                const menus::Item& item = bar[m].items[i];
                const QString path = item.path.toString();
                auto w = shownWindow();
                const QMenu* menu = w->menuBar()->actions().value(m)->menu();
                QAction* action = menu->actions().value(i);
                QCOMPARE(menu->title() + '|' + action->text(),
                         bar[m].caption.toString() + '|' + item.caption.toString());
                QCOMPARE(action, w->MenuItems.value(item.control.toString()));
                QCOMPARE(action->isChecked(), item.tick == menus::Tick::Set);
                action->trigger();
                QCOMPARE(log, item.action == menus::Action::MainPane ? mainPage(path)
                              : item.action == menus::Action::NewWindow
                                  ? QStringList{"toolbox openNewWindow " + Base + path}
                                  : handlers.value(item.control.toString()));
            }
        }
    }

    void toolbarButtonsAskForWhatTheirRowsSay() {
        using A = toolbar::Action;
        for (const toolbar::Button& b : toolbar::buttons()) {
            const QHash<A, QStringList> calls = {
                {A::Login, PeerLogin},
                {A::MainPane, mainPage(b.path.toString())},
                {A::Forward, {"FrameMain goForward"}},
                {A::Back, {"FrameMain goBack"}},
                {A::Calendar, mainPage("date.htm") << "calendar"},
                {A::Refresh,
                 {"FrameMain refresh", "FrameBbs refresh", "FrameAd refresh",
                  "FrameTourist refresh", "FrameTeam refresh"}}};
            auto w = shownWindow();
            QToolButton* tool = button(*w, b.number);
            QCOMPARE(tool->text() + '|' + tool->toolTip(),
                     b.caption.toString() + '|' + toolbar::tooltipText(b));
            // Raised until the user asks for a flat toolbar.
            QVERIFY(!tool->icon().isNull() && tool->iconSize() == QSize(25, 25) &&
                    !tool->autoRaise());
            QTest::mouseClick(tool, Qt::LeftButton);
            QCOMPARE(log, calls.value(b.action));
        }
    }

    // " 广东" sends "广东"; a press dragged off the label is no click.
    void regionLabelsAskForTheirRegion() {
        auto w = shownWindow();
        QCOMPARE(w->RegionLabels.size(), 33);
        for (regions::ClickLabel* label : w->RegionLabels) {
            const auto& link = regions::links()[std::size_t(w->RegionLabels.indexOf(label))];
            QCOMPARE(label->text(), link.caption.toString());
            QCOMPARE(label->geometry(), twips::rect(link.left, link.top, link.width, 255));
            QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(-20, -20));
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(log, mainPage("tonghang/allcom.asp?city=" + label->text().trimmed()));
            log.clear();
        }
    }

    // One user's afternoon with the panels; after each step the window shows
    // what the layout says, and the frames shown are the step's.
    void framesFollowEachPanelOperation() {
        auto w = shownWindow();
        const auto menu = [&](const char* name) { w->MenuItems.value(name)->trigger(); };
        const auto click = [](QToolButton* b) { QTest::mouseClick(b, Qt::LeftButton); };
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { menu("SysBbs"); }, "FrameTonghang FrameAd"},
            {[&] { click(w->Command1); }, ""},
            {[&] { click(button(*w, 1)); }, "FrameBbs"}, // login opens the peer panel
            {[&] { click(button(*w, 17)); }, ""},
            {[&] { click(button(*w, 17)); }, "FrameBbs FrameTonghang FrameAd"},
            {[&] { click(w->Command2); }, "FrameTonghang FrameAd"},
            {[&] { menu("SysTonghang"); }, ""},
            {[&] { click(button(*w, 16)); }, "FrameBbs"}, // wide
            {[&] { menu("ToolsBbs"); }, "FrameBbs"},      // narrow again
            {[&] { menu("SysTonghang"); }, "FrameBbs FrameTonghang FrameAd"},
        };
        for (const auto& [run, expected] : steps) {
            run();
            QStringList shown;
            for (const QGroupBox* frame : {w->FrameBbs, w->FrameTonghang, w->FrameAd})
                if (!frame->isHidden())
                    shown << frame->objectName();
            QCOMPARE(shown.join(' '), QString::fromLatin1(expected));
            checkWindowFollowsLayout(*w);
        }
        QCOMPARE(log, PeerLogin); // only the login navigates
    }

    void portalReceivesTheAddressAsWritten() {
        webtest::DemoPortalProcess portalProcess;
        QVERIFY(portalProcess.start());
        portal::setBaseUrl(portalProcess.address());
        const auto w = makeWindow(true);
        MainWindow& window = *w;
        QVERIFY(window.Form_Load());
        window.show();
        const std::pair<const char*, const char*> cases[] = {
            {"OfficeBook", "GET /market/MemSearch.asp?InfoType=%D6%B0%D4%B1"},
            {"ToolsCar", "GET /tonghang/allcom.asp?type=%B3%B5%C1%BE"},
            {"SysLogin", "GET /market/login1.asp"},
            {"广东", "GET /tonghang/allcom.asp?city=%B9%E3%B6%AB"},
        };
        for (const auto& [control, request] : cases) {
            // A page asked for while the pane still loads the one before can
            // be dropped by the engine; each row starts with the panes at rest.
            for (const PaneSlot* slot : {&window.WebBrowserMain, &window.WebBrowserBbs})
                QTRY_VERIFY_WITH_TIMEOUT(
                    !static_cast<WebEnginePane*>(slot->widget)->page()->isLoading(),
                    webtest::Patience);
            const int before = portalProcess.count(request);
            if (QAction* item = window.MenuItems.value(control))
                item->trigger();
            else
                window.GotoCity(QString::fromUtf8(control));
            QTRY_VERIFY2_WITH_TIMEOUT(portalProcess.count(request) == before + 1, control,
                                      webtest::Patience);
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], "--copy") == 0)
        return runCopy(argc, argv);
    webtest::prepareApplication("orvanta-window-test");
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"

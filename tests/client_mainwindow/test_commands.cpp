// The main window's commands over recording panes: what every menu item,
// toolbar button and region label asks for, the panel operations as the
// window shows them, and the system menu actions.

#include "Fakes.h"
#include "FrmMain.h"
#include "MenuTable.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "RegionTable.h"
#include "Seams.h"
#include "ToolbarTable.h"
#include "Twips.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <memory>

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:9/");
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
const QString CloseQuestion = QStringLiteral(
    "为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n你确认要关掉‘Orvanta’吗(Y/N)？");

QStringList mainPage(const QString& path) {
    return {QStringLiteral("Main stop"), "Main navigate " + Base + path};
}

QString gamePath() {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/game.exe");
#else
    return QCoreApplication::applicationDirPath() + "/game";
#endif
}

// What a handler item asks of panes, toolbox and the outside; the panel
// items only move frames, which other tests look at.
QStringList handlerCalls(QStringView control) {
    if (control == u"SysLogin")
        return {QStringLiteral("Bbs stop"), "Bbs navigate " + Base + "market/login1.asp"};
    if (control == u"SysToolBar")
        return {QStringLiteral("toolbox flat")};
    if (control == u"SysTest")
        return {QStringLiteral("offer to connect")};
    if (control == u"SysExit")
        return {"message " + CloseQuestion};
    if (control == u"HelpThis")
        return {QStringLiteral("about")};
    if (control == u"HelpGame")
        return {"start " + gamePath()};
    return {};
}

QStringList buttonCalls(int number) {
    const toolbar::Button* b = toolbar::findButton(number);
    switch (b->action) {
    case toolbar::Action::Login:
        return {QStringLiteral("Bbs stop"), "Bbs navigate " + Base + "market/login1.asp"};
    case toolbar::Action::MainPane:
        return mainPage(b->path.toString());
    case toolbar::Action::Forward:
        return {QStringLiteral("Main goForward")};
    case toolbar::Action::Back:
        return {QStringLiteral("Main goBack")};
    case toolbar::Action::Refresh:
        return {QStringLiteral("Main refresh"), QStringLiteral("Bbs refresh"),
                QStringLiteral("Ad refresh"), QStringLiteral("Com refresh"),
                QStringLiteral("Team refresh")};
    case toolbar::Action::Calendar:
        return mainPage(QStringLiteral("date.htm")) << "calendar";
    default:
        return {};
    }
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

    QStringList log;
    QList<seams::Message> messages;
    QList<seams::Answer> answers;
    FakeToolbox toolbox{&log};
    bool connected = false;
    bool programStarts = true;
    seams::MessageHandler previousMessages;
    seams::ProgramStarter previousStarter;
    seams::Action previousBeep;
    seams::Action previousEnd;

    std::unique_ptr<FrmMain> shownWindow(Toolbox* box) {
        FrmMain::Services s;
        s.makePane = [this](QWidget* parent) { return makeFakePane(parent, &log); };
        s.makeToolbox = [box] { return box; };
        s.waitSeconds = [this](double) { log << QStringLiteral("wait"); };
        s.showCalendar = [this](QWidget* owner) {
            QVERIFY(owner);
            log << QStringLiteral("calendar");
        };
        s.showAbout = [this] { log << QStringLiteral("about"); };
        s.isDialUpConnected = [this] { return connected; };
        s.offerToConnect = [this] { log << QStringLiteral("offer to connect"); };
        auto w = std::make_unique<FrmMain>(std::move(s));
        w->Form_Load();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("window not exposed");
        log.clear();
        return w;
    }
    std::unique_ptr<FrmMain> shownWindow() { return shownWindow(&toolbox); }

    static QToolButton* toolButton(FrmMain& w, int number) {
        return qobject_cast<QToolButton*>(
            w.Toolbar1->widgetForAction(w.ToolbarButtons[number - 1]));
    }

    // The window shows exactly what its layout says.
    static void checkWindowFollowsLayout(FrmMain& w) {
        const layout::Controls& c = w.Layout.controls();
        const std::pair<QWidget*, const layout::Geometry*> shown[] = {
            {w.FrameMain, &c.FrameMain},
            {w.FrameBbs, &c.FrameBbs},
            {w.FrameTonghang, &c.FrameTonghang},
            {w.FrameAd, &c.FrameAd},
            {w.FrameTeam, &c.FrameTeam},
            {w.FrameTourist, &c.FrameTourist},
            {w.FrameTouristAll, &c.FrameTouristAll},
            {w.WebBrowserMain.widget, &c.WebBrowserMain},
            {w.WebBrowserBbs.widget, &c.WebBrowserBbs},
            {w.WebBrowserCom.widget, &c.WebBrowserCom},
            {w.WebBrowserTeam.widget, &c.WebBrowserTeam},
        };
        for (const auto& [widget, g] : shown) {
            QCOMPARE(!widget->isHidden(), g->visible);
            QCOMPARE(widget->geometry(), twips::rect(g->left, g->top, g->width, g->height));
        }
        const layout::PanelState& p = w.Layout.panels();
        QAction* sysBbs = w.MenuItems.value(QStringLiteral("SysBbs"));
        QAction* sysTonghang = w.MenuItems.value(QStringLiteral("SysTonghang"));
        QCOMPARE(sysBbs->isChecked(), p.sysBbsChecked);
        QCOMPARE(sysTonghang->isChecked(), p.sysTonghangChecked);
        QCOMPARE(toolButton(w, 16)->text(), p.button16Caption);
        QCOMPARE(toolButton(w, 17)->text(), p.button17Caption);
        for (const QAction* a : {sysBbs, sysTonghang, w.ToolbarButtons[16]})
            QCOMPARE(a->isEnabled(), p.panelControlsEnabled);
        QCOMPARE(w.Command1->isEnabled(), p.panelControlsEnabled);
        QCOMPARE(w.Command2->isEnabled(), p.panelControlsEnabled);
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
        previousStarter =
            seams::setProgramStarter([this](const QString& program, const QStringList&) {
                log << "start " + program;
                return programStarts;
            });
        previousBeep = seams::setBeep([this] { log << QStringLiteral("beep"); });
        previousEnd = seams::setEndProgram([this] { log << QStringLiteral("end"); });
    }

    void cleanupTestCase() {
        seams::setMessageHandler(previousMessages);
        seams::setProgramStarter(previousStarter);
        seams::setBeep(previousBeep);
        seams::setEndProgram(previousEnd);
    }

    void init() {
        log.clear();
        messages.clear();
        answers.clear();
        connected = false;
        programStarts = true;
    }

    // Nothing else, and nothing behind an overflow arrow at the size the
    // window opens at.
    void menuBarAndToolbarHoldTheTablesWhole() {
        auto w = shownWindow();
        QMenuBar* bar = w->menuBar();
        QCOMPARE(bar->actions().size(), 12);
        int items = 0;
        for (QAction* menu : bar->actions())
            for (QAction* item : menu->menu()->actions())
                items += !item->isSeparator() && item->shortcut().isEmpty();
        QCOMPARE(items, 84);
        QCOMPARE(w->Toolbar1->actions(), w->ToolbarButtons);
        QCOMPARE(toolButton(*w, 6)->toolTip(), QStringLiteral("管理你在127.0.0.1上的订单"));
        const QRect last = bar->actionGeometry(bar->actions().last());
        QVERIFY2(last.right() < bar->width(), qPrintable(QString::number(last.right())));
        for (int number = 1; number <= 18; ++number)
            QVERIFY2(toolButton(*w, number)->isVisible(), qPrintable(QString::number(number)));
    }

    // Each of the 84 items, where the window shows it and what its click asks.
    void menuItemAsksForWhatItsRowSays_data() {
        QTest::addColumn<int>("menu");
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("calls");
        const auto bar = menus::menuBar();
        for (std::size_t m = 0; m < bar.size(); ++m)
            for (std::size_t i = 0; i < bar[m].items.size(); ++i) {
                const menus::Item& item = bar[m].items[i];
                QStringList calls;
                switch (item.action) {
                case menus::Action::MainPane:
                    calls = mainPage(item.path.toString());
                    break;
                case menus::Action::NewWindow:
                    calls = QStringList{"toolbox openNewWindow " + Base + item.path.toString()};
                    break;
                case menus::Action::Handler:
                    calls = handlerCalls(item.control);
                    break;
                }
                QTest::newRow(qPrintable(item.control.toString())) << int(m) << int(i) << calls;
            }
    }
    void menuItemAsksForWhatItsRowSays() {
        QFETCH(int, menu);
        QFETCH(int, position);
        QFETCH(QStringList, calls);
        const menus::Menu& m = menus::menuBar()[std::size_t(menu)];
        const menus::Item& item = m.items[std::size_t(position)];
        auto w = shownWindow();
        QAction* title = w->menuBar()->actions().value(menu);
        QCOMPARE(title->text(), m.caption.toString());
        QAction* action = title->menu()->actions().value(position);
        QCOMPARE(action->text(), item.caption.toString());
        QCOMPARE(action, w->MenuItems.value(item.control.toString()));
        QCOMPARE(action->isCheckable(), item.tick != menus::Tick::None);
        QCOMPARE(action->isChecked(), item.tick == menus::Tick::Set);

        action->trigger();
        QCOMPARE(log, calls);
        // Only the exit item asks anything.
        QCOMPARE(messages.size(), item.control == u"SysExit" ? 1 : 0);
        QVERIFY(w->isVisible());
    }

    void handlersIgnoreTheNumberTheyGet() {
        auto w = shownWindow();
        w->MenuItem_Click(u"ToolsCar", 0);
        w->MenuItem_Click(u"VelantrixWeb", 71);
        w->SysLogin_Click(-5);
        const QStringList expected =
            mainPage("tonghang/allcom.asp?type=%B3%B5%C1%BE") + mainPage("etourist.asp") +
            QStringList({"Bbs stop", "Bbs navigate " + Base + "market/login1.asp"});
        QCOMPARE(log, expected);
    }

    void toolbarButtonAsksForWhatItsRowSays_data() {
        QTest::addColumn<int>("number");
        for (const toolbar::Button& b : toolbar::buttons())
            QTest::newRow(qPrintable(b.key.toString())) << b.number;
    }
    void toolbarButtonAsksForWhatItsRowSays() {
        QFETCH(int, number);
        auto w = shownWindow();
        const toolbar::Button* b = toolbar::findButton(number);
        QToolButton* button = toolButton(*w, number);
        QVERIFY(button);
        QCOMPARE(button->text(), b->caption.toString());
        QCOMPARE(button->toolTip(), toolbar::tooltipText(*b));
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(button->iconSize(), QSize(25, 25));
        QVERIFY(!button->icon().isNull());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(log, buttonCalls(number));
        QVERIFY(messages.isEmpty());
    }

    void toolbarSkipsFailingStepsSilently() {
        auto w = shownWindow();
        auto fake = [&](const PaneSlot& slot) { return static_cast<FakePane*>(slot.browser); };
        fake(w->WebBrowserMain)->results[QStringLiteral("goBack")] = pane::Failed;
        fake(w->WebBrowserMain)->results[QStringLiteral("goForward")] = pane::Failed;
        fake(w->WebBrowserMain)->results[QStringLiteral("refresh")] = pane::Failed;
        fake(w->WebBrowserBbs)->results[QStringLiteral("refresh")] = pane::Failed;
        fake(w->WebBrowserBbs)->results[QStringLiteral("stop")] = pane::Failed;
        w->Toolbar1_ButtonClick(4);
        w->Toolbar1_ButtonClick(3);
        w->Toolbar1_ButtonClick(5);
        w->Toolbar1_ButtonClick(1);
        QCOMPARE(log, buttonCalls(4) + buttonCalls(3) + buttonCalls(5) + buttonCalls(1));
        QVERIFY(messages.isEmpty());
        w->Toolbar1_ButtonClick(0);
        w->Toolbar1_ButtonClick(19);
        QCOMPARE(log.size(), 9);
    }

    void loginOpensTheClosedPeerPanelBeforeItsPage() {
        auto w = shownWindow();
        w->SysBbs_Click(13);
        QVERIFY(w->FrameBbs->isHidden());
        const float reserve = w->MainWidthReserve;
        QCOMPARE(reserve, 20.f);
        w->Toolbar1_ButtonClick(1);
        QVERIFY(!w->FrameBbs->isHidden());
        QVERIFY(w->MenuItems.value(QStringLiteral("SysBbs"))->isChecked());
        QCOMPARE(log, buttonCalls(1));
        checkWindowFollowsLayout(*w);

        // With the panel open, only the pane moves.
        log.clear();
        const QRect before = w->FrameBbs->geometry();
        w->Toolbar1_ButtonClick(1);
        QCOMPARE(w->FrameBbs->geometry(), before);
        QCOMPARE(log, buttonCalls(1));
    }

    void regionLabelAsksForItsRegion_data() {
        QTest::addColumn<int>("index");
        int index = 0;
        for (const regions::Link& link : regions::links())
            QTest::newRow(qPrintable(link.control.toString())) << index++;
    }
    void regionLabelAsksForItsRegion() {
        QFETCH(int, index);
        const regions::Link& link = regions::links()[std::size_t(index)];
        auto w = shownWindow();
        QCOMPARE(w->RegionLabels.size(), 33);
        regions::ClickLabel* label = w->RegionLabels[index];
        QCOMPARE(label->parentWidget(), w->FrameTouristAll);
        QCOMPARE(label->text(), link.caption.toString());
        QCOMPARE(label->geometry(),
                 twips::rect(link.left, link.top, link.width, regions::LabelHeight));
        QVERIFY(label->isVisible());
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(log, mainPage("tonghang/allcom.asp?city=" + link.region.toString()));
    }

    // One user's afternoon with the panels; after each step the frames on
    // screen are those of the arrangement it leads to.
    void framesFollowEachPanelOperation() {
        auto w = shownWindow();
        checkWindowFollowsLayout(*w);
        struct Step {
            const char* what;
            std::function<void()> run;
            bool bbs, tonghang, ad;
        };
        auto menu = [&](const char* control) {
            return [&w, control] { w->MenuItems.value(QString::fromLatin1(control))->trigger(); };
        };
        auto button = [&](int number) {
            return [&w, number] { QTest::mouseClick(toolButton(*w, number), Qt::LeftButton); };
        };
        auto click = [](QToolButton* b) { return [b] { QTest::mouseClick(b, Qt::LeftButton); }; };
        const Step steps[] = {
            {"menu SysBbs", menu("SysBbs"), false, true, true},
            {"Command1", click(w->Command1), false, false, false},
            {"button 17 opens both", button(17), true, true, true},
            {"Command2", click(w->Command2), false, true, true},
            {"menu SysBbs again", menu("SysBbs"), true, true, true},
            {"menu SysTonghang", menu("SysTonghang"), true, false, false},
            {"button 16 widens", button(16), true, false, false},
            {"disabled Command2", click(w->Command2), true, false, false},
            {"menu ToolsBbs narrows", menu("ToolsBbs"), true, false, false},
            {"button 17 closes", button(17), false, false, false},
            {"menu SysTonghang", menu("SysTonghang"), false, true, true},
        };
        for (const Step& step : steps) {
            step.run();
            const QByteArray where(step.what);
            QVERIFY2(w->FrameBbs->isHidden() == !step.bbs, where);
            QVERIFY2(w->FrameTonghang->isHidden() == !step.tonghang, where);
            QVERIFY2(w->FrameAd->isHidden() == !step.ad, where);
            checkWindowFollowsLayout(*w);
            if (QTest::currentTestFailed())
                QFAIL(where);
        }
        QVERIFY(log.isEmpty()); // no panel operation navigates a pane
    }

    void wideModeShowsItsCaptionsAndDisablesThePanelControls() {
        auto w = shownWindow();
        QTest::mouseClick(toolButton(*w, 16), Qt::LeftButton);
        QCOMPARE(toolButton(*w, 16)->text(), QStringLiteral("对话关"));
        QVERIFY(!toolButton(*w, 17)->isEnabled());
        QVERIFY(!w->MenuItems.value(QStringLiteral("SysBbs"))->isEnabled());
        QVERIFY(!w->Command1->isEnabled());
        QCOMPARE(w->FrameMain->width(), twips::toPixels(w->Layout.windowWidth() - 11000));
        checkWindowFollowsLayout(*w);
        QTest::mouseClick(toolButton(*w, 16), Qt::LeftButton);
        QCOMPARE(toolButton(*w, 16)->text(), QStringLiteral("对话开"));
        QVERIFY(toolButton(*w, 17)->isEnabled());
        QVERIFY(!w->MenuItems.value(QStringLiteral("SysTonghang"))->isChecked());
    }

    void toolsBbsIsButtonSixteen() {
        auto viaMenu = shownWindow();
        auto viaButton = shownWindow();
        viaMenu->ToolsBbs_Click(76);
        viaButton->Toolbar1_ButtonClick(16);
        QCOMPARE(viaMenu->Layout.panels().button16Caption,
                 viaButton->Layout.panels().button16Caption);
        QCOMPARE(viaMenu->FrameBbs->geometry(), viaButton->FrameBbs->geometry());
        QCOMPARE(viaMenu->MainWidthReserve, 11000.f);
    }

    void resizingLaysTheFramesOutFlushWithTheClientArea_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("larger") << QSize(1000, 700);
        QTest::newRow("smaller") << QSize(760, 560);
        QTest::newRow("tiny") << QSize(200, 150);
    }
    void resizingLaysTheFramesOutFlushWithTheClientArea() {
        QFETCH(QSize, size);
        auto w = shownWindow();
        w->resize(size);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), size, 10000);
        const QSize client = w->centralWidget()->size();
        QCOMPARE(w->Layout.windowWidth(), float(client.width() * 15 + 120));
        QCOMPARE(w->Layout.windowHeight(), float(client.height() * 15 + 720));
        checkWindowFollowsLayout(*w);
        if (size.width() > 700) {
            QVERIFY(qAbs(w->FrameBbs->geometry().right() + 1 - client.width()) <= 1);
            QVERIFY(qAbs(w->FrameTonghang->geometry().bottom() + 1 - client.height()) <= 1);
        }
        QVERIFY(log.isEmpty());
    }

    void gameStartsFromTheProgramFolderOrSaysWhyNot() {
        auto w = shownWindow();
        w->HelpGame_Click(87);
        QCOMPARE(log, QStringList{"start " + gamePath()});
        QVERIFY(messages.isEmpty());
        programStarts = false;
        w->HelpGame_Click(87);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, "无法启动：" + gamePath());
        QVERIFY(w->isVisible());
    }

    void networkTestTellsOrOffersToDial() {
        auto w = shownWindow();
        connected = true;
        w->SysTest_Click(20);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("网络连接正常，欢迎你的使用！"));
        QCOMPARE(messages[0].buttons, seams::Buttons::Ok);
        QCOMPARE(messages[0].icon, seams::Icon::None);
        QCOMPARE(messages[0].title, Title);
        QVERIFY(!log.contains(QStringLiteral("offer to connect")));

        log.clear();
        connected = false;
        w->SysTest_Click(20);
        QCOMPARE(log, QStringList{"offer to connect"});
        QCOMPARE(messages.size(), 1);
    }

    void flatToolbarSwitchesThroughTheToolboxAndTicks() {
        auto w = shownWindow();
        QAction* item = w->MenuItems.value(QStringLiteral("SysToolBar"));
        item->trigger();
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(!item->isChecked());
        QCOMPARE(log, QStringList({"toolbox flat", "toolbox flat"}));

        auto bare = shownWindow(nullptr);
        QAction* bareItem = bare->MenuItems.value(QStringLiteral("SysToolBar"));
        bareItem->trigger();
        QVERIFY(!bareItem->isChecked()); // nothing switched, nothing marked
    }

    void keepOnTopTicksWithTheWindowsFlag() {
        auto w = shownWindow();
        QAction* item = w->MenuItems.value(QStringLiteral("SysTop"));
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->isVisible());
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void exitAnsweredNoLeavesTheProgramRunning() {
        auto w = shownWindow();
        w->SysExit_Click(19);
        QCOMPARE(log, QStringList{"message " + CloseQuestion});
        QVERIFY(w->isVisible());
        answers << seams::Answer::Yes;
        w->SysExit_Click(19);
        QCOMPARE(log.mid(1), QStringList({"message " + CloseQuestion}) +
                                 mainPage("market/exit.asp") +
                                 QStringList({"wait", "beep", "end"}));
    }
};

QTEST_MAIN(TestCommands)
#include "test_commands.moc"

// The main window over recording panes and scripted message boxes, the test
// itself being the toolbox: loading, showing pages, closing, and the panel
// controls. Last, the window with real web panes against the demo portal:
// every menu item, toolbar button and region label checked against the list
// in portal_commands.tsv, texts and requests byte for byte.

#include "DesktopToolbox.h"
#include "MainWindow.h"
#include "Portal.h"
#include "Seams.h"
#include "Toolbox.h"
#include "Twips.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <algorithm>

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:9/");
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
const QString Busy = QStringLiteral(
    "message 本软件启用了安全设置，上次你非法与同行协作网服器断开，请关闭本软件再重新启动!(Y/N)");
const QString Close = QStringLiteral(
    "message 为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n你确认要关掉‘Orvanta’吗(Y/N)？");

// Logs every call as "<frame> <call>"; `results` says what an operation answers.
struct FakePane : QWidget, BrowserPane {
    FakePane(QWidget* frame, QStringList* log) : QWidget(frame), log(log) {}
    QStringList* log;
    QHash<QString, pane::Result> results;
    pane::Result navigate(const QString& address) override { return record("navigate " + address); }
    pane::Result stop() override { return record(QStringLiteral("stop")); }
    pane::Result goBack() override { return record(QStringLiteral("goBack")); }
    pane::Result goForward() override { return record(QStringLiteral("goForward")); }
    pane::Result refresh() override { return record(QStringLiteral("refresh")); }
    pane::Result setWidth(double) override { return pane::Ok; }
    pane::Result setHeight(double) override { return pane::Ok; }
    pane::Result record(const QString& call) {
        log->append(parent()->objectName() + ' ' + call);
        return results.value(call.section(' ', 0, 0), pane::Ok);
    }
};

QStringList mainPage(const QString& path) {
    return {QStringLiteral("FrameMain stop"), "FrameMain navigate " + Base + path};
}

// One line of portal_commands.tsv; an empty tooltip or request is "-" there.
struct CommandRow {
    QString kind, name, caption, tooltip, effect, request;
};

QList<CommandRow> readCommandRows() {
    QFile file(QStringLiteral(COMMANDS_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto quoted = [](const QString& field) {
        return field == QLatin1String("-") ? QString() : field.mid(1, field.size() - 2);
    };
    QList<CommandRow> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = QString::fromUtf8(line).split('\t');
        if (f.size() != 6)
            return {}; // a damaged line fails the count of rows
        rows.append({f[0], f[1], quoted(f[2]), quoted(f[3]), f[4], f[5] == "-" ? QString() : f[5]});
    }
    return rows;
}

const QString HistoryOne = QStringLiteral("GET /history/one.asp");
const QString HistoryTwo = QStringLiteral("GET /history/two.asp");

} // namespace

class TestMainWindow : public QObject, public Toolbox {
    Q_OBJECT

    QStringList log;
    QList<seams::Message> messages;
    QList<seams::Answer> answers; // given in turn; No once they run out
    bool succeeds = true, programStarts = true;
    std::function<void()> whileWaiting;
    const QString game = QCoreApplication::applicationDirPath() + "/game";

    bool realWindows = false; // separate windows really open, on the desktop's toolbox
    DesktopToolbox desktop;
    WebEnginePane marker_; // asks the portal for a marker after each click

    bool openNewWindow(const QString& a) override {
        return record("openNewWindow " + a) && (!realWindows || desktop.openNewWindow(a));
    }
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

    // What a user sees on the row's control: caption, then tooltip (menu
    // items show none).
    static QString seenOn(MainWindow& w, const CommandRow& row) {
        if (row.kind == "menu") {
            const QAction* item = w.MenuItems.value(row.name);
            for (const QAction* menu : w.menuBar()->actions())
                if (item && menu->menu()->actions().contains(item))
                    return menu->menu()->title() + '|' + item->text() + '|';
        } else if (const QWidget* control = rowControl(w, row)) { // a label or a tool button
            return control->property("text").toString() + '|' + control->toolTip();
        }
        return QStringLiteral("no control ") + row.name;
    }
    static QWidget* rowControl(MainWindow& w, const CommandRow& row) {
        if (row.kind == "button") {
            const int n = row.name.toInt();
            return n >= 1 && n <= w.ToolbarButtons.size() ? button(w, n) : nullptr;
        }
        return row.kind == "label" ? w.FrameTouristAll->findChild<QLabel*>(row.name) : nullptr;
    }

    static void trigger(MainWindow& w, const CommandRow& row) {
        if (row.kind == "menu")
            return w.MenuItems.value(row.name)->trigger();
        QWidget* control = rowControl(w, row);
        if (row.kind == "label") { // a press dragged off the label is no click
            QTest::mousePress(control, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(-20, -20));
        }
        QTest::mouseClick(control, Qt::LeftButton);
    }

    static WebEnginePane* web(const PaneSlot& s) { return static_cast<WebEnginePane*>(s.widget); }
    static QList<WebEnginePane*> panes(MainWindow& w) {
        return {web(w.WebBrowserMain), web(w.WebBrowserBbs), web(w.WebBrowserAd),
                web(w.WebBrowserCom), web(w.WebBrowserTeam)};
    }
    static bool atRest(MainWindow& w) {
        QList<WebEnginePane*> all = panes(w);
        for (const BrowserWindow* window : webtest::browserWindows())
            all << window->pane();
        return std::none_of(all.begin(), all.end(),
                            [](const WebEnginePane* p) { return p->page()->isLoading(); });
    }
    // The request line that asked for the page a view shows.
    static QString target(const QWebEngineView* view) {
        return "GET " + QString::fromLatin1(
                            view->url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority));
    }
    // Opens the page in the main pane and waits until it shows.
    static bool visit(MainWindow& w, const QString& request) {
        w.GotoWeb(portal::page(request.mid(5)));
        return QTest::qWaitFor(
            [&] { return atRest(w) && target(web(w.WebBrowserMain)) == request; },
            webtest::Patience);
    }
    // What the portal received since `from`, less the icons Chromium asks for.
    static QStringList received(const webtest::DemoPortalProcess& portal, qsizetype from) {
        QStringList lines = portal.requests().mid(from);
        lines.removeAll(QStringLiteral("GET /favicon.ico"));
        return lines;
    }
    // The panel state a user sees, and the always-on-top mark.
    static std::pair<QVariantList, bool> panelsAndTop(MainWindow& w) {
        const layout::PanelState& p = w.Layout.panels();
        return {{p.sysBbsChecked, p.sysTonghangChecked, p.button16Caption, p.button17Caption},
                w.MenuItems.value("SysTop")->isChecked()};
    }

    // The window shows exactly what its layout says.
    static void checkWindowFollowsLayout(MainWindow& w) {
        const layout::Controls& c = w.Layout.controls();
#define NAMED(control) std::pair<const char*, const layout::Geometry*>(#control, &c.control)
        for (const auto& [name, g] :
             {NAMED(FrameMain), NAMED(FrameBbs), NAMED(FrameTonghang), NAMED(FrameAd),
              NAMED(FrameTeam), NAMED(FrameTourist), NAMED(FrameTouristAll), NAMED(WebBrowserMain),
              NAMED(WebBrowserBbs), NAMED(WebBrowserCom), NAMED(WebBrowserTeam)}) {
            const QWidget* widget = w.findChild<QWidget*>(name);
            QVERIFY2(widget && !widget->isHidden() == g->visible, name);
            QCOMPARE(widget->geometry(), twips::rect(g->left, g->top, g->width, g->height));
        }
#undef NAMED
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
        // The texts outside the command list.
        QCOMPARE(
            QStringList({w->Command1->toolTip(), w->Command2->toolTip(), w->FrameTeam->title(),
                         w->FrameTourist->title(), w->FrameTouristAll->title()}),
            QStringList({"隐藏此控制面板", "隐藏此同行对话交流控制面板", "      同行协作网组团中心",
                         "全省在线企业", "全国各省同行●跨省求助"}));
        QCOMPARE(w->MenuItems.size(), 84);
    }

    // While another copy runs, the start is refused with a word and ends.
    void secondCopyIsRefused() {
        log.clear();
        MainWindow::Services services;
        services.anotherCopyRunning = [] { return true; };
        MainWindow w(std::move(services));
        QVERIFY(!w.Form_Load());
        QCOMPARE(log, QStringList({"message " + Title + "已经在运行中！", "end"}));
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

    // What only a direct call can show.
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
        // Only the login navigates.
        QCOMPARE(log,
                 QStringList({"FrameBbs stop", "FrameBbs navigate " + Base + "market/login1.asp"}));
    }

    // The group-tour captions sit in the band above their panes: every
    // caption-coloured pixel there, none under the pane's top edge.
    void captionsFitAboveTheirPanes() {
        const auto w = shownWindow();
        for (const auto& [frame, pane] : {std::pair{w->FrameTeam, w->WebBrowserTeam.widget},
                                          std::pair{w->FrameTourist, w->WebBrowserCom.widget}}) {
            const QImage image = frame->grab().toImage();
            const int top = pane->y();
            QCOMPARE(top, frame == w->FrameTeam ? 12 : 11); // 180 and 170 twips
            // Rows with a caption-coloured pixel above and below the pane's top.
            int inkRows = 0, below = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y);
                        c.blue() - std::max(c.red(), c.green()) > 40) {
                        ++(y < top ? inkRows : below);
                        break;
                    }
            QVERIFY2(inkRows >= 8, qPrintable(QString::number(inkRows))); // still legible
            QCOMPARE(below, 0);
        }
    }

    // Every item, button and label against the list in portal_commands.tsv:
    // the texts a user sees, then what one click makes the demo portal receive
    // and where the page shows.
    void everyCommandShowsItsTextsAndAsksThePortalForItsPage() {
        const QList<CommandRow> rows = readCommandRows();
        QMap<QString, int> kinds;
        for (const CommandRow& row : rows)
            ++kinds[row.kind];
        QCOMPARE(kinds, (QMap<QString, int>{{"menu", 84}, {"button", 18}, {"label", 33}}));

        webtest::DemoPortalProcess& portalProcess = webtest::demoPortal();
        realWindows = true;
        const auto guard = qScopeGuard([this] { realWindows = false; });
        const auto w = makeWindow(true);
        QVERIFY(w->Form_Load());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        // The side panes' first pages; the main pane starts on a local file.
        QStringList first;
        QTRY_VERIFY_WITH_TIMEOUT((first = received(portalProcess, 0)).size() >= 4 && atRest(*w),
                                 webtest::Patience);
        first.sort();
        QCOMPARE(first, QStringList({"GET /chat/", "GET /chat/VIEWROOM2.asp", "GET /market/ad.asp",
                                     "GET /tonghang/infolist-mem.asp"}));

        // The start texts: two captions change once their button is clicked.
        for (const CommandRow& row : rows) {
            QCOMPARE(seenOn(*w, row), row.caption + '|' + row.tooltip);
            // Buttons carry an image, raised until the user asks for a flat toolbar.
            const auto* tool = qobject_cast<QToolButton*>(rowControl(*w, row));
            QVERIFY(!tool || (!tool->icon().isNull() && tool->iconSize() == QSize(25, 25) &&
                              !tool->autoRaise()));
        }

        for (const CommandRow& row : rows) {
            QTRY_VERIFY_WITH_TIMEOUT(atRest(*w), webtest::Patience);
            QStringList expected;
            if (!row.request.isEmpty())
                expected << row.request;
            if (row.effect == "back" || row.effect == "forward") {
                // A history of two pages, standing on the one the click leaves.
                const bool forward = row.effect == "forward";
                QVERIFY(visit(*w, HistoryOne) && visit(*w, HistoryTwo));
                if (forward)
                    web(w->WebBrowserMain)->back();
                QTRY_VERIFY_WITH_TIMEOUT(atRest(*w) && target(web(w->WebBrowserMain)) ==
                                                           (forward ? HistoryOne : HistoryTwo),
                                         webtest::Patience);
                expected = {forward ? HistoryTwo : HistoryOne};
            } else if (row.effect == "refresh") {
                for (const WebEnginePane* pane : panes(*w))
                    expected << target(pane);
            }
            const qsizetype from = portalProcess.requests().size();
            const QList<BrowserWindow*> before = webtest::browserWindows();
            const auto [panelsBefore, topBefore] = panelsAndTop(*w);
            log.clear();

            trigger(*w, row);
            QTRY_VERIFY_WITH_TIMEOUT(received(portalProcess, from).size() >= expected.size(),
                                     webtest::Patience);
            QTRY_VERIFY_WITH_TIMEOUT(atRest(*w), webtest::Patience);
            // A request the click should not have made would come before this one.
            const QString marker = "GET /marker/" + row.name;
            if (expected.isEmpty()) {
                marker_.navigate(portal::page(marker.mid(5)));
                QVERIFY(portalProcess.waitFor(marker));
            }
            QStringList got = received(portalProcess, from);
            got.removeAll(marker);
            if (row.effect == "refresh") { // the panes load side by side
                got.sort();
                expected.sort();
            }
            QVERIFY2(got == expected, qPrintable(row.name + ": " + got.join(", ")));

            QList<BrowserWindow*> opened = webtest::browserWindows();
            opened.removeIf([&](BrowserWindow* window) { return before.contains(window); });
            if (QStringList({"main", "calendar", "back", "forward"}).contains(row.effect))
                QCOMPARE(target(web(w->WebBrowserMain)), expected.value(0));
            if (row.effect == "bbs")
                QCOMPARE(target(web(w->WebBrowserBbs)), row.request);
            QCOMPARE(opened.size(), row.effect == "window" ? 1 : 0);
            for (BrowserWindow* window : opened) {
                QCOMPARE(target(window->pane()), row.request);
                window->close();
            }
            const QHash<QString, QString> calls = {
                {"calendar", "calendar"},
                {"flat", "toolbox flat"},
                {"dial-up", "offer to connect"},
                {"asks-to-close", Close},
                {"about", "about"},
                {"game", "start " + game},
                {"window", "toolbox openNewWindow " + portal::baseUrl() + row.request.mid(5)}};
            QCOMPARE(log.join('\n'), calls.value(row.effect));
            const auto [panels, top] = panelsAndTop(*w);
            QCOMPARE(panels != panelsBefore, row.effect == "panels");
            QCOMPARE(top != topBefore, row.effect == "topmost");
            QVERIFY(w->isVisible()); // the close question was answered No
        }
    }
};

int main(int argc, char** argv) {
    webtest::prepareApplication("orvanta-window-test");
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"

// The main window over recording panes and scripted message boxes, the test
// itself being the toolbox: loading, showing pages, closing, the panel
// controls, and what a screen reader and a keyboard user meet in the window,
// the calendar and the about box. Then the window with real web panes against
// the demo portal: every menu item, toolbar button and region label checked
// against the list in portal_commands.tsv, texts and requests byte for byte;
// last, an exit that no page holds up.

#include "AboutWindow.h"
#include "CalendarWindow.h"
#include "DesktopToolbox.h"
#include "FittedCaptionBox.h"
#include "MainWindow.h"
#include "PageDialogs.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "Seams.h"
#include "Toolbox.h"
#include "Twips.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <algorithm>

namespace {

using A = QAccessible;
using enum seams::Answer;
const QString Base = QStringLiteral("http://127.0.0.1:9/");
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
const QString Busy = QStringLiteral(
    "message 本软件启用了安全设置，上次你非法与同行协作网服器断开，请关闭本软件再重新启动!(Y/N)");
const QString Close = QStringLiteral(
    "ask 为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n你确认要关掉‘Orvanta’吗(Y/N)？");

// Logs every call as "<frame> <call>"; `results` says what an operation answers.
struct FakePane : QWidget, BrowserPane {
    FakePane(QWidget* frame, QStringList* log) : QWidget(frame), log(log) {
        setFocusPolicy(Qt::StrongFocus);
    }
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

QAccessibleInterface* accessible(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

// One command of portal_commands.tsv: `texts` holds its caption and tooltip
// columns, `control` is the button or label clicked (none for a menu item).
struct Row {
    QString kind, name, texts, effect, request;
    QWidget* control;
    QRect place = {}; // a region link's, in pixels
};

} // namespace

class TestMainWindow : public QObject, public Toolbox {
    Q_OBJECT

    QStringList log; // a message box as "ask" with the question icon, else as "message"
    QList<seams::Answer> answers; // given in turn; No once they run out
    std::function<void()> whileWaiting = [] {}, onEnd = [] {};
    const QString game = QCoreApplication::applicationDirPath() + "/game";

    // Separate windows really open, on the desktop's toolbox, and programs
    // start; else a program is missing.
    bool onDesktop = false;
    bool connected = false; // the dial-up line
    QElapsedTimer loading;
    QList<qint64> loginsAt; // ms after the load began
    DesktopToolbox desktop;
    WebEnginePane marker_; // asks the portal for a marker after each click

    bool openNewWindow(const QString& a) override {
        return onDesktop ? desktop.openNewWindow(a) : record("openNewWindow " + a);
    }
    bool sendMail(const QString& a) override { return record("sendMail " + a); }
    void toggleFlatToolbar(QToolBar*) override { log << QStringLiteral("flat"); }
    void setColour(quint32 bgr) override { record("colour " + QString::number(bgr)); }
    bool record(const QString& call) {
        log << "toolbox " + call;
        return true;
    }

    // Over recording panes, or over real ones that wait for real and cancel
    // the pages' dialogs at the exit (for good: the program is ending). Loaded
    // and active; the log holds its load.
    std::unique_ptr<MainWindow> shownWindow(bool webPanes = false) {
        MainWindow::Services s;
        s.makePane = [this, webPanes](QWidget* frame) {
            const auto slot = [](auto* pane) { return PaneSlot{pane, pane}; };
            return webPanes ? slot(new WebEnginePane(frame)) : slot(new FakePane(frame, &log));
        };
        s.makeToolbox = [this] { return this; };
        if (webPanes)
            s.dismissPageDialogs = [] {
                return pagedialogs::dismissAll(), pagedialogs::openCount();
            };
        else
            s.waitSeconds = [this](double seconds) {
                log << "wait " + QString::number(seconds);
                whileWaiting();
            };
        s.showCalendar = [this](QWidget* owner) { log << (owner ? "calendar" : "no owner"); };
        s.showAbout = [this] { log << QStringLiteral("about"); };
        s.offerToConnect = [this] { log << QStringLiteral("dial-up"); };
        s.isDialUpConnected = [this] { return connected; };
        s.showLogin = [this] { loginsAt << loading.elapsed(); };
        loginsAt.clear();
        loading.start();
        log.clear();
        auto w = std::make_unique<MainWindow>(std::move(s));
        w->Form_Load();
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w.get()); // the checks fail if it never shows
        return w;
    }

public:
    static void initMain() { webtest::prepareApplication("orvanta-window-test"); }

private:
    // A control by its name, toolbar button n by "buttonn".
    static QWidget* find(MainWindow& w, const QString& name) {
        if (!name.startsWith("button"))
            return w.findChild<QWidget*>(name);
        return w.Toolbar1->widgetForAction(w.ToolbarButtons.value(name.mid(6).toInt() - 1));
    }
    static void press(MainWindow& w, const QString& name, QKeyCombination key) {
        find(w, name)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }

    // The panels as a user meets them: the frames shown (Bbs, Tonghang, Ad),
    // the captions of buttons 16 and 17, which of SysBbs, SysTonghang, button
    // 17, Command1 and Command2 can be used, and the ticks of SysBbs and
    // SysTonghang.
    static QString look(MainWindow& w) {
        const QAction* bbs = w.MenuItems.value(QStringLiteral("SysBbs"));
        const QAction* tonghang = w.MenuItems.value(QStringLiteral("SysTonghang"));
        QString usable;
        for (const bool on :
             {bbs->isEnabled(), tonghang->isEnabled(), find(w, "button17")->isEnabled(),
              w.Command1->isEnabled(), w.Command2->isEnabled()})
            usable += on ? '+' : '-';
        return QStringLiteral("%1%2%3 %4 %5 %6 %7%8")
            .arg(w.FrameBbs->isHidden() ? "-" : "B", w.FrameTonghang->isHidden() ? "-" : "T",
                 w.FrameAd->isHidden() ? "-" : "A",
                 find(w, "button16")->property("text").toString(),
                 find(w, "button17")->property("text").toString(), usable,
                 bbs->isChecked() ? "b" : "-", tonghang->isChecked() ? "t" : "-");
    }

    // The commands in the list's order. Region links stand in lines, read left
    // to right, each asking for its region in GBK.
    static QList<Row> readRows(MainWindow& w) {
        QList<QWidget*> labels(w.RegionLabels.begin(), w.RegionLabels.end());
        std::sort(labels.begin(), labels.end(), [](const QWidget* a, const QWidget* b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        QFile file(QStringLiteral(COMMANDS_FILE));
        QList<Row> rows;
        for (const QString& line :
             QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : "").split('\n')) {
            const QStringList f = line.split('\t');
            if (f[0] == "labels")
                for (const QString& link : f.mid(1)) {
                    const QStringList at = link.section(' ', -1).split(',') << "375";
                    rows.append({"label", link.section(' ', 0, -3),
                                 link.section(' ', 0, -3) + "\t-", "main",
                                 "GET /tonghang/allcom.asp?city=" + link.section(' ', -2, -2),
                                 labels.isEmpty() ? nullptr : labels.takeFirst(),
                                 twips::rect(at[0].toInt(), at[1].toInt(), at[2].toInt(), 255)});
                }
            else if (f.size() == 6 && !line.startsWith('#'))
                rows.append({f[0], f[1], f[2] + '\t' + f[3], f[4], f[5] == "-" ? "" : f[5],
                             f[0] == "button" ? find(w, "button" + f[1]) : nullptr});
        }
        return rows;
    }
    // What a user sees on the row's control, written as the list writes it.
    static QString seenOn(MainWindow& w, const Row& row) {
        QString caption = row.control ? row.control->property("text").toString() : QString();
        const QString tooltip = row.control ? row.control->toolTip() : QString();
        const QAction* item = row.kind == "menu" ? w.MenuItems.value(row.name) : nullptr;
        for (const QAction* menu : w.menuBar()->actions())
            if (item && menu->menu()->actions().contains(item))
                caption = menu->menu()->title() + '|' + item->text();
        return '"' + caption + "\"\t" + (tooltip.isEmpty() ? "-" : '"' + tooltip + '"');
    }
    // No page anywhere is loading.
    static bool atRest() {
        const QWidgetList all = QApplication::allWidgets();
        return std::none_of(all.begin(), all.end(), [](QWidget* widget) {
            const auto* pane = qobject_cast<WebEnginePane*>(widget);
            return pane && pane->page()->isLoading();
        });
    }
    // The request line that asked for the page a view shows.
    static QString target(const QWebEngineView* view) {
        return "GET " + QString::fromLatin1(
                            view->url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority));
    }
    // What the portal received since `from`, less the icons Chromium asks for.
    static QStringList received(qsizetype from) {
        QStringList lines = webtest::demoPortal().requests().mid(from);
        lines.removeAll(QStringLiteral("GET /favicon.ico"));
        return lines;
    }

private slots:
    void initTestCase() {
        portal::setBaseUrl(Base);
        seams::setMessageHandler([this](const seams::Message& m) {
            log << (m.icon == seams::Icon::Question ? "ask " : "message ") + m.text;
            return answers.isEmpty() ? No : answers.takeFirst();
        });
        seams::setProgramStarter([this](const QString& program, const QStringList&) {
            log << "start " + program;
            return onDesktop;
        });
        seams::setBeep([this] { log << QStringLiteral("beep"); });
        seams::setEndProgram([this] {
            log << QStringLiteral("end");
            onEnd();
        });
        seams::setClock([] { return QDateTime(QDate(2024, 6, 2), QTime(9, 30)); });
    }

    // A second copy is refused with a word and ends. The load opens the first
    // pages in order; the designed 12000 x 8800 twips is the outer size, which
    // the frames follow as the design's worked example puts them (twips / 15,
    // rounded; 587 px is 8805 twips). Then the texts outside the command list,
    // as an eye and a screen reader meet them, and the same window under the
    // keyboard and through an afternoon with the panels.
    void loadTextsKeysAndPanels() {
        MainWindow::Services second;
        second.anotherCopyRunning = [] { return true; };
        QVERIFY(!MainWindow(std::move(second)).Form_Load());
        QCOMPARE(log, QStringList({"message " + Title + "已经在运行中！", "end"}));
        auto w = shownWindow();
        QCOMPARE(w->windowTitle(), Title + "------旅游从业者工作必备百宝箱" + QString(14, ' ') +
                                       "http://127.0.0.1:9系列旅游软件家庭成员");
        QCOMPARE(log,
                 QStringList({"toolbox colour 255", "FrameAd navigate " + Base + "market\\ad.asp",
                              "FrameMain navigate " + QCoreApplication::applicationDirPath() +
                                  "/velantrix.htm",
                              "FrameBbs navigate " + Base + "chat/",
                              "FrameTourist navigate " + Base + "chat/VIEWROOM2.asp",
                              "FrameTeam navigate " + Base + "tonghang/infolist-mem.asp"}));
        const QList<QRect> frames = {
            {0, 56, 600, 335}, {607, 56, 185, 330}, {0, 387, 600, 152}, {607, 387, 180, 152}};
        QCOMPARE(QList<QRect>({w->FrameMain->geometry(), w->FrameBbs->geometry(),
                               w->FrameTonghang->geometry(), w->FrameAd->geometry()}),
                 frames);
        // What the layout leaves where the design puts it (twips, in its frame);
        // the toolbar, 750 twips high, spans the window.
        const std::pair<QWidget*, QRect> designed[] = {
            {w->Command1, {30, 120, 495, 340}},
            {w->Command2, {30, 120, 495, 340}},
            {w->WebBrowserAd.widget, {45, 140, 2620, 2110}}};
        for (const auto& [control, t] : designed)
            QCOMPARE(control->geometry(), twips::rect(t.x(), t.y(), t.width(), t.height()));
        QCOMPARE(w->Toolbar1->geometry(), QRect(0, 0, w->centralWidget()->width(), 50));
        // The name and role a screen reader gives, then the caption or tooltip
        // (the toolbar, the main frame and 广东 are read over AT-SPI too).
        const std::tuple<const char*, A::Role, const char*, const char*> controls[] = {
            {"Command1", A::Button, "隐藏此控制面板", "隐藏此控制面板"},
            {"Command2", A::Button, "隐藏此同行对话交流控制面板", "隐藏此同行对话交流控制面板"},
            {"FrameAd", A::Grouping, "广告", ""},
            {"FrameTeam", A::Grouping, "同行协作网组团中心", "      同行协作网组团中心"},
            {"FrameTourist", A::Grouping, "全省在线企业", "全省在线企业"},
            {"FrameTouristAll", A::Grouping, "全国各省同行●跨省求助", "全国各省同行●跨省求助"},
            {"WebBrowserTeam", A::Client, "同行协作网组团中心", ""},
            {"Label21", A::Link, "广东", ""}, // the caption starts with a blank
        };
        for (const auto& [name, role, spoken, seen] : controls) {
            QWidget* control = find(*w, name);
            const auto* box = qobject_cast<QGroupBox*>(control);
            QCOMPARE(QVariantList({accessible(control)->role(), accessible(control)->text(A::Name),
                                   box ? box->title() : control->toolTip()}),
                     QVariantList({role, spoken, seen}));
        }

        // The group-tour captions sit in the band above their panes: every
        // caption-coloured pixel there, none under the pane's top edge; the
        // hide button sits where the group-tour caption starts, and its first
        // character begins clear of it. A region link pressed by a screen
        // reader, or by the keyboard after Tab, shows the region as a click
        // does. Tab runs along the toolbar and on into the panes in reading
        // order; F6 and Ctrl+Tab go from part to part, Shift+F6 back.
        log.clear();
        for (const auto& [frame, pane] : {std::pair{w->FrameTeam, w->WebBrowserTeam.widget},
                                          std::pair{w->FrameTourist, w->WebBrowserCom.widget}}) {
            const QImage image = frame->grab().toImage();
            // Rows with a caption-coloured pixel above and below the pane's top.
            int inkRows = 0, below = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y);
                        c.blue() - std::max(c.red(), c.green()) > 40) {
                        ++(y < pane->y() ? inkRows : below);
                        break;
                    }
            QVERIFY2(inkRows >= 8 && below == 0,
                     qPrintable(QString::number(inkRows))); // still legible
        }
        // Each caption drawn in its own colour: the desktop's highlight, pure blue, navy.
        for (const auto& [frame, colour] :
             {std::pair{w->FrameTeam, w->palette().color(QPalette::Highlight)},
              std::pair{w->FrameTourist, QColor(0, 0, 255)},
              std::pair{w->FrameTouristAll, QColor(0, 0, 128)}}) {
            const QImage image = frame->grab().toImage();
            const QRect ink = static_cast<FittedCaptionBox*>(frame)->captionInk();
            int inColour = 0;
            for (int y = ink.top(); y <= ink.bottom(); ++y)
                for (int x = ink.left(); x <= ink.right(); ++x)
                    inColour += image.pixelColor(x, y) == colour;
            QVERIFY2(inColour >= 10, qPrintable(frame->objectName()));
        }
        auto* team = static_cast<FittedCaptionBox*>(w->FrameTeam);
        const int inkLeft = team->mapToParent(QPoint(team->captionInk().left(), 0)).x();
        QVERIFY2(inkLeft > w->Command1->geometry().right(), qPrintable(QString::number(inkLeft)));

        QAccessibleActionInterface* actions = accessible(find(*w, "Label21"))->actionInterface();
        QVERIFY(actions && actions->actionNames().contains(actions->pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        press(*w, "Label31", Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // on Label32
        QCOMPARE(log, mainPage("tonghang/allcom.asp?city=广东") +
                          mainPage("tonghang/allcom.asp?city=内蒙古"));
        // From a control, a key, to the control it leaves the focus on.
        const QString keys = "button12 Tab button13, button18 Tab WebBrowserMain, "
                             "WebBrowserMain Tab Command2, WebBrowserCom Tab LblBeijing, "
                             "Label32 Tab WebBrowserAd, button3 F6 WebBrowserMain, "
                             "WebBrowserMain F6 WebBrowserBbs, WebBrowserCom F6 LblBeijing, "
                             "Label5 F6 WebBrowserAd, WebBrowserAd F6 button1, "
                             "WebBrowserBbs Ctrl+Tab WebBrowserTeam, "
                             "WebBrowserMain Shift+F6 button1, button1 Shift+F6 WebBrowserAd, "
                             "Command1 Shift+F6 WebBrowserBbs";
        for (const QString& step : keys.split(", ")) {
            const QStringList from = step.split(' ');
            press(*w, from[0], QKeySequence::fromString(from[1])[0]);
            QVERIFY2(QApplication::focusWidget() == find(*w, from[2]), qPrintable(step));
        }

        // One user's afternoon with the panels; after each step the panels look
        // as the step says, and every frame and pane stands where the layout
        // puts it. Only the login navigates, and F6 passes over the panels hidden.
        log.clear();
        // The menu item or button clicked, and the panels then.
        const std::pair<const char*, const char*> steps[] = {
            {"SysBbs", "-TA 对话开 面板关 +++++ -t"},
            {"Command1", "--- 对话开 面板开 +++++ --"},
            {"button1", "B-- 对话开 面板关 +++++ b-"}, // login opens the peer panel
            {"button17", "--- 对话开 面板开 +++++ --"},
            {"button17", "BTA 对话开 面板关 +++++ bt"},
            {"Command2", "-TA 对话开 面板关 +++++ -t"},
            {"SysTonghang", "--- 对话开 面板开 +++++ --"},
            {"button16", "B-- 对话关 面板关 ----- b-"}, // wide
            {"ToolsBbs", "B-- 对话开 面板关 +++++ b-"}, // narrow again
            {"SysTonghang", "BTA 对话开 面板关 +++++ bt"},
            {"Command1", "B-- 对话开 面板关 +++++ b-"},
        };
        const layout::Controls& c = w->Layout.controls();
        const QStringList names = {"FrameMain",     "FrameBbs",       "FrameTonghang",
                                   "FrameTeam",     "FrameTourist",   "FrameTouristAll",
                                   "FrameAd",       "WebBrowserMain", "WebBrowserBbs",
                                   "WebBrowserCom", "WebBrowserTeam"};
        for (const auto& [control, expected] : steps) {
            if (QAction* item = w->MenuItems.value(control))
                item->trigger();
            else
                QTest::mouseClick(find(*w, control), Qt::LeftButton);
            QCOMPARE(look(*w), QString::fromUtf8(expected));
            qsizetype i = 0;
            for (const layout::Geometry& g :
                 {c.FrameMain, c.FrameBbs, c.FrameTonghang, c.FrameTeam, c.FrameTourist,
                  c.FrameTouristAll, c.FrameAd, c.WebBrowserMain, c.WebBrowserBbs, c.WebBrowserCom,
                  c.WebBrowserTeam}) {
                const QWidget* widget = w->findChild<QWidget*>(names[i++]);
                QVERIFY2(!widget->isHidden() == g.visible &&
                             widget->geometry() == twips::rect(g.left, g.top, g.width, g.height),
                         qPrintable(widget->objectName()));
            }
        }
        QCOMPARE(log,
                 QStringList({"FrameBbs stop", "FrameBbs navigate " + Base + "market/login1.asp"}));
        press(*w, "WebBrowserBbs", Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), find(*w, "button1"));
        // The login window was asked for once, half a second after the load
        // (a coarse timer may come a little early, a busy machine late).
        QTRY_VERIFY(!loginsAt.isEmpty());
        QVERIFY2(loginsAt.size() == 1 && loginsAt[0] >= 450 && w->Timer1->interval() == 500,
                 qPrintable(QString::number(loginsAt[0])));
    }

    // GotoWeb stops then navigates the main pane; only the busy error asks,
    // Yes ends, No leaves the pane stopped. Closing asks; Yes logs off, waits,
    // beeps and ends, and a close arriving while it waits is not asked again.
    // Last, what only a direct call can show.
    void onlyTheBusyErrorAndTheCloseAsk() {
        const auto go = [](const QString& a) { return [a](MainWindow& w) { w.GotoWeb(a); }; };
        const auto close = [](MainWindow& w) { w.close(); };
        const QStringList off = QStringList{Close} + mainPage("market/exit.asp");
        const QStringList end = {"wait 4", "beep", "end"};
        const std::tuple<std::function<void(MainWindow&)>, const char*, pane::Result,
                         QList<seams::Answer>, QStringList>
            cases[] = {
                {go(""), "", pane::Ok, {}, mainPage("")},
                {go(Base + "职员"), "navigate", pane::Failed, {Yes}, mainPage("职员")},
                {go(Base), "stop", pane::Busy, {No}, {"FrameMain stop", Busy}},
                {close, "", pane::Ok, {No}, {Close}},
                {close, "", pane::Ok, {Yes}, off + end},
                {close, "navigate", pane::Busy, {Yes, Yes}, off + QStringList{Busy, "end"}},
                {close, "navigate", pane::Busy, {Yes, No}, off + QStringList{Busy} + end},
            };
        for (const auto& [act, failing, result, given, expected] : cases) {
            auto w = shownWindow();
            log.clear();
            static_cast<FakePane*>(w->WebBrowserMain.browser)->results[failing] = result;
            answers = given;
            whileWaiting = [&] {
                QCloseEvent again; // as the window system would send it
                QCoreApplication::sendEvent(w.get(), &again);
                QVERIFY(!again.isAccepted());
            };
            act(*w);
            QCOMPARE(log, expected);
            QCOMPARE(w->isVisible(), log[0] != Close || given[0] == No);
        }
        auto w = shownWindow(); // an empty window address, a missing game, a line that is up
        log.clear();
        w->OpenNewWindow(QString());
        w->HelpGame_Click(87);
        connected = true;
        w->MenuItems.value("SysTest")->trigger();
        connected = false;
        QCOMPARE(log, QStringList({"toolbox openNewWindow " + Base, "start " + game,
                                   "message 无法启动：" + game,
                                   "message 网络连接正常，欢迎你的使用！"}));
    }

    // Arrow keys move the day across month ends, Page Up / Page Down the month;
    // the date line is Chinese whatever the system's locale. The about box's
    // warning keeps its last line inside its label.
    void calendarAndAboutBox() {
        const std::tuple<QList<int>, int, int, const char*> cases[] = {
            {{Qt::Key_Right}, 0, 8, "2024年6月3日星期一"},
            {{Qt::Key_Left, Qt::Key_Left}, -1, 33, "2024年5月31日星期五"},
            {{Qt::Key_Down}, 0, 14, "2024年6月9日星期日"},
            {{Qt::Key_Up}, -1, 28, "2024年5月26日星期日"},
            {{Qt::Key_PageDown, Qt::Key_PageDown}, 2, 5, "2024年8月2日星期五"},
            {QList<int>(6, Qt::Key_PageUp), -6, 6, "2023年12月2日星期六"},
        };
        for (const auto& [keys, monthSpin, cell, day] : cases) {
            CalendarWindow c;
            c.show();
            c.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&c));
            QTRY_COMPARE(c.Label4->text(), QString::fromUtf8("星期日, 02 六月 2024"));
            for (int key : keys)
                QTest::keyClick(&c, Qt::Key(key));
            QCOMPARE(
                QVariantList({c.HScroll1->value(), accessible(c.Label3[cell])->text(A::Name),
                              c.Label3[cell]->frameShape(), accessible(c.HScroll1)->text(A::Name)}),
                QVariantList({monthSpin, day, QFrame::Panel, "月份"}));
        }
        // The address the program is built with makes the warning four lines long.
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        AboutWindow about({});
        portal::setBaseUrl(Base);
        QVERIFY(about.lblDisclaimer->heightForWidth(about.lblDisclaimer->width()) <=
                about.lblDisclaimer->height());
        QCOMPARE(accessible(about.picIcon)->text(A::Name), Title);
    }

    // Every item, button and label against the list in portal_commands.tsv:
    // the texts a user sees, then what one click makes the demo portal receive
    // and where the page shows. Last, after Yes to the close question nothing
    // a page does holds up the end or keeps the exit page's request from the
    // portal: a page dialog open (the close comes from inside its wait), a
    // page that asks before it is left, an alert on the exit page.
    void everyCommandThenAnExitNoPageHoldsUp() {
        webtest::DemoPortalProcess& portalProcess = webtest::demoPortal();
        onDesktop = true; // for good: the exit ends the tests
        const auto w = shownWindow(true);
        // Every control has its row; a damaged line is left out, and fails this.
        const QList<Row> rows = readRows(*w);
        QCOMPARE(w->MenuItems.size() + w->ToolbarButtons.size() + w->RegionLabels.size(),
                 rows.size());

        // The side panes' first pages (the main pane starts on a local file)
        // come before any command's.
        TRY_VERIFY(received(0).size() >= 4 && atRest());
        // The start texts (two captions change once their button is clicked);
        // buttons carry an image, raised until the user asks for a flat toolbar.
        for (const Row& row : rows) {
            QCOMPARE(seenOn(*w, row), row.texts);
            if (row.kind == "label")
                QCOMPARE(row.control->geometry(), row.place);
            const auto* tool = qobject_cast<QToolButton*>(row.control);
            QVERIFY(!tool || (!tool->icon().isNull() && tool->iconSize() == QSize(25, 25) &&
                              !tool->autoRaise()));
        }

        auto* main = static_cast<WebEnginePane*>(w->WebBrowserMain.widget);
        const auto visit = [&](const QString& request, bool back = false) {
            back ? main->back() : w->GotoWeb(portal::page(request.mid(5)));
            return webtest::waitFor([&] { return atRest() && target(main) == request; });
        };
        // What an effect leaves in the log where that is not its name: the
        // pages shown in the panes leave nothing else behind.
        QHash<QString, QString> calls = {{"asks-to-close", Close}, {"game", "start " + game}};
        for (const char* page : {"main", "bbs", "back", "forward", "refresh"})
            calls[page] = QString();
        for (const Row& row : rows) {
            TRY_VERIFY(atRest());
            // A history of two pages, one step back; the back button's row,
            // next, steps back again from where this one leaves.
            if (row.effect == "forward")
                QVERIFY(visit("GET /history/one.asp") && visit("GET /history/two.asp") &&
                        visit("GET /history/one.asp", true));
            QStringList expected = row.request.isEmpty() ? QStringList() : QStringList(row.request);
            if (row.effect == "refresh") // every pane asks again for the page it shows
                for (const WebEnginePane* pane : w->findChildren<WebEnginePane*>())
                    expected << target(pane);
            const qsizetype from = portalProcess.requests().size();
            const QList<BrowserWindow*> before = webtest::browserWindows();
            const QString panels = look(*w);
            const bool top = w->MenuItems.value("SysTop")->isChecked();
            log.clear();

            if (row.control)
                QTest::mouseClick(row.control, Qt::LeftButton);
            else
                w->MenuItems.value(row.name)->trigger();
            TRY_VERIFY(received(from).size() >= expected.size() && atRest());
            // A request the click should not have made would come before this one.
            const QString marker = "GET /marker/" + row.name;
            if (expected.isEmpty()) {
                marker_.navigate(portal::page(marker.mid(5)));
                QVERIFY(portalProcess.waitFor(marker));
            }
            QStringList got = received(from);
            got.removeAll(marker);
            got.sort(); // the panes reload side by side
            expected.sort();
            QVERIFY2(got == expected, qPrintable(row.name + ": " + got.join(", ")));
            // The calendar, the flat toolbar, the dial-up offer and the about box
            // each log their own name; a separate window opens really, on the
            // address the portal received.
            for (BrowserWindow* window : webtest::browserWindows())
                if (!before.contains(window) && window->close())
                    log << QStringLiteral("window");
            if (look(*w) != panels)
                log << QStringLiteral("panels");
            if (w->MenuItems.value("SysTop")->isChecked() != top)
                log << QStringLiteral("topmost");
            QCOMPARE(log.join('\n'), calls.value(row.effect, row.effect));
        }

        // In this order: the close comes over the open dialog, which the exit
        // page would no longer get to show.
        portal::setBaseUrl(portalProcess.address() + "hostile/");
        QVERIFY(webtest::loadInto(*main, portal::page("leave.asp")));
        QVERIFY(webtest::clickElement(*main, "state")); // the page may ask before it is left
        const QString exitRequest = QStringLiteral("GET /hostile/market/exit.asp");
        const int exitsBefore = portalProcess.count(exitRequest);
        QApplication::setQuitOnLastWindowClosed(false);
        QElapsedTimer sinceClose;
        qint64 endedAfter = -1, exitsAtEnd = -1;
        onEnd = [&] {
            endedAfter = sinceClose.elapsed();
            exitsAtEnd = portalProcess.count(exitRequest);
        };
        answers = {Yes};
        QTimer closer; // the close comes while the dialog waits, from inside its wait
        connect(&closer, &QTimer::timeout, this, [&] {
            if (pagedialogs::openCount() == 0)
                return;
            closer.stop();
            sinceClose.start();
            w->close();
        });
        w->WebBrowserBbs->navigate(portal::page("alert.asp"));
        closer.start(50);
        TRY_VERIFY(endedAfter >= 0);
        QVERIFY2(endedAfter >= 4000 && endedAfter < 9000, qPrintable(QString::number(endedAfter)));
        QCOMPARE(exitsAtEnd, exitsBefore + 1);
        QCOMPARE(pagedialogs::openCount(), 0);
    }
};

QTEST_MAIN(TestMainWindow)

#include "test_main_window.moc"

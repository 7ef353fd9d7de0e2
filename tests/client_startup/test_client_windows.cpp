// The splash, login page, calendar and about windows over a fixed clock and
// scripted seams.

#include "AboutWindow.h"
#include "AppInfo.h"
#include "CalendarWindow.h"
#include "ConnectionCheck.h"
#include "Dialler.h"
#include "FakeRegistry.h"
#include "LoginWindow.h"
#include "Portal.h"
#include "Seams.h"
#include "ShellLink.h"
#include "SplashWindow.h"
#include "Twips.h"
#include "WidgetLook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

constexpr int Patience = 20000; // ms; web engines start slowly on a loaded machine

// The caption, month and today's date; the first and last cells shown, which
// count the days up from 1; and the cells drawn as today's: not in the day
// colour, or framed.
QString shown(const CalendarWindow& c) {
    QList<int> days, marked;
    for (int i = 0; i < calendar::CellCount; ++i) {
        const QLabel* cell = c.Label3[i];
        if (cell->isVisibleTo(&c) || !cell->text().isEmpty())
            days << (cell->text() == QString::number(i - days.value(0, i) + 1) ? i : -1);
        if (cell->palette().color(QPalette::WindowText) != QColor(0, 96, 64) ||
            cell->frameShape() == QFrame::Box)
            marked << i;
    }
    return QStringList{c.windowTitle(), c.Label2->text(), c.Label4->text()}.join('|') +
           QStringLiteral("|%1-%2|").arg(days.value(0)).arg(days.contains(-1) ? -1 : days.last()) +
           (marked.isEmpty() ? "" : QString::number(marked.first())) +
           (marked.size() > 1 ? "..." : "");
}

class TestClientWindows : public QObject, shelllink::ShellLinkBackend {
    Q_OBJECT

    QDate today{2024, 6, 2}; // a Sunday; June 2024 starts on a Saturday
    QStringList log;         // messages, programs started, links made, mail, pages and the beep
    seams::Answer answer = seams::Answer::Ok;
    bool starterSucceeds = true, lineUp = true;
    QStringList missing; // programs that will not start
    int lineChecks = 0;
    int failingLink = -1; // counted from 0, with the words it fails with
    std::string failure;
    const AboutActions actions{[this](const QString& a) { log << "mail " + a; },
                               [this](const QString& a) { log << "open " + a; }};

    shelllink::Outcome createLink(const std::string& folder, const std::string& caption,
                                  const std::string& target, const std::string& arguments,
                                  bool perUser, std::string& parentToken) override {
        log << QString::fromStdString(folder + '|' + caption + '|' + target + '|' + arguments +
                                      (perUser ? "|1|" : "|0|") + parentToken);
        const bool fails = failingLink-- == 0;
        return {!fails, fails ? failure : ""};
    }
    bool writeInternetShortcut(const std::string& name, const std::string& url) override {
        log << QString::fromStdString(name + ' ' + url);
        return true;
    }
    void activate(QWidget* w) {
        w->show();
        w->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(w->isActiveWindow(), Patience);
    }

private slots:
    void initTestCase() {
        seams::setMessageHandler([this](const seams::Message& m) {
            // Any title, buttons and icon but a plain OK box's follow the text.
            log << "message " + m.text + m.title +
                       QStringList{"", " [OK/Cancel]", " [Yes/No]"}[int(m.buttons)] +
                       QStringList{"", " (i)", " (!)", " (?)", " (x)"}[int(m.icon)];
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
        seams::setClock([this] { return QDateTime(today, QTime(9, 30)); });
        connection::SetConnectionTest([this] { return ++lineChecks && lineUp; });
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
    }
    void init() {
        log.clear(), missing.clear();
        starterSucceeds = lineUp = true;
        lineChecks = 0, failingLink = -1;
    }

    // Shortcuts first, the links in order up to one that fails, which is
    // told in its own words or ours; then the timer and the beep; bare,
    // centred, filled with its artwork; one hand-over a second later.
    void theSplashLoadsShowsAndHandsOverOnce() {
        const QString programs = app::programFolder();
        const QStringList links = {
            "..\\..\\Desktop|Orvanta|" + programs + "/Orvanta||1|$(Programs)",
            "..|Orvanta从业工具箱|" + programs + "/Orvanta||1|$(Programs)",
            ".|Orvanta同行协作网络办公信息系统|" + programs + "/Orvanta||1|$(Programs)",
            ".|Brickvane游戏|" + programs + "/game||1|$(Programs)"};
        const std::tuple<int, std::string, QString> failures[] = {
            {0, "拒绝访问。", "message 拒绝访问。"},
            {3, "", "message 无法创建快捷方式“Brickvane游戏”"}};
        for (const auto& [failAt, words, told] : failures) {
            init();
            failingLink = failAt;
            failure = words;
            SplashWindow(*this, {}).Form_Load();
            QCOMPARE(log, QStringList{"Velantrix在线同行协作 https://www.velantrix.com"} +
                              links.first(failAt + 1) + QStringList({told, "beep"}));
        }
        init();
        int mainShown = 0;
        QPointer<SplashWindow> splash = new SplashWindow(*this, [&] { ++mainShown; });
        QElapsedTimer clock;
        clock.start();
        splash->Form_Load();
        QCOMPARE(log, QStringList{"Velantrix在线同行协作 https://www.velantrix.com"} + links +
                          QStringList{"beep"});
        QCOMPARE(splash->Timer1->interval(), 1000);
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        // 6000 x 4800 twips, filled with the artwork (every pixel as the image file has
        // it), with no frame and no taskbar entry
        QVERIFY(splash->size() == QSize(400, 320) && splash->Img1->geometry() == splash->rect());
        QVERIFY(splash->Img1->pixmap().toImage() ==
                QImage(SPLASH_ARTWORK).convertToFormat(QImage::Format_RGB32));
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
        for (QWidget* const w : std::initializer_list<QWidget*>{&login, &other, &login})
            activate(w);
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
            {seams::Answer::Yes, false, {dial, "message 无法启动：nm-connection-editor (!)"}}};
        for (const auto& [reply, startWorks, after] : cases) {
            init();
            lineUp = false;
            answer = reply;
            starterSucceeds = startWorks;
            QPointer<LoginWindow> login = new LoginWindow;
            login->show();
            QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), Patience);
            // Yes and No, no icon, the application title.
            QCOMPARE(log,
                     QStringList{"message 正在与www.velantrix.com服务器握手......\n\r\n\r╳,"
                                 "你还没有连接到网上，请先连到网上再试！现在连接(Y/N) [Yes/No]"} +
                         after);
        }
    }

    void aDiallerThatWillNotStartGivesWayToTheNext() {
        const QString designed = "start rundll rnaui.dll,RnaDial My ISP",
                      phonebook = "start rasphone -d My ISP";
        const std::pair<QStringList, QStringList> cases[] = {
            {{}, {designed}},
            {{"rundll"}, {designed, phonebook}},
            {{"rundll", "rasphone"},
             {designed, phonebook, "message 无法启动：rasphone -d My ISP (!)"}}};
        using connection::DiallerKind;
        for (const auto& [absent, expected] : cases) {
            init();
            missing = absent;
            QCOMPARE(StartDialler(connection::DiallerCommands(DiallerKind::RemoteAccess, "My ISP")),
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
                log.isEmpty());
        QVERIFY(!showLoginWindowOnce());
        QCOMPARE(lineChecks, 1);
        delete shown;
    }

    // Every control where the design puts it (twips, inside its container), and
    // the colours and type the design gives it.
    void controlsStandAndLookAsDesigned() {
        LoginWindow login;
        AboutWindow about({});
        CalendarWindow c(nullptr, QLocale(QLocale::English));
        const std::pair<QWidget*, QRect> designed[] = {
            {login.WebBrowser1.widget, {0, 0, 8040, 4335}},
            {login.CmdLogin, {3000, 3240, 1215, 495}},
            {about.picIcon, {240, 240, 540, 540}},
            {about.lblTitle, {1050, 240, 3885, 360}},
            {about.lblVersion, {1080, 600, 1725, 225}},
            {about.LabelEmail, {3480, 600, 2175, 255}},
            {about.lblDescription, {360, 1080, 4965, 450}},
            {about.Picture1, {240, 1594, 5175, 739}},
            {about.Text1, {4, 0, 5107, 680}},
            {about.lblDisclaimer, {240, 2625, 3630, 825}},
            {about.cmdOK, {4125, 2625, 1500, 345}},
            {about.cmdSysInfo, {4140, 3075, 1485, 345}},
            {c.Label2, {45, 90, 690, 285}},
            {c.Label5, {840, 180, 255, 255}},
            {c.HScroll1, {1080, 90, 405, 285}},
            {c.LabelYear, {1680, 180, 255, 255}},
            {c.HScroll2, {1890, 90, 420, 285}},
            {c.Command1, {2380, 100, 520, 300}},
            {c.Label4, {45, 495, 2805, 285}},
            {c.Label3[0], {45, 1170, 375, 285}},
            {c.Label3[6], {2430, 1170, 375, 285}},
            {c.Label3[8], {450, 1485, 375, 285}},
            {c.Label3[36], {450, 2745, 375, 285}}};
        for (const auto& [control, t] : designed)
            QCOMPARE(control->geometry(), twips::rect(t.x(), t.y(), t.width(), t.height()));
        const int headingLeft[] = {450, 855, 1260, 1665, 2070, 2475, 45}; // Sunday's first
        for (int i = 0; i < 7; ++i)
            QCOMPARE(c.Label1[i]->geometry(), twips::rect(headingLeft[i], 855, 375, 285));
        for (const QScrollBar* spin : {c.HScroll1, c.HScroll2}) // range, steps, start
            QCOMPARE(QList<int>({spin->minimum(), spin->maximum(), spin->singleStep(),
                                 spin->pageStep(), spin->value()}),
                     QList<int>({-1500, 1500, 1, 1, 0}));
        QCOMPARE(QList<QSize>({about.size(), c.size()}),
                 QList<QSize>({twips::size(5730, 3555), twips::size(2910, 3030)}));
        QString captions = login.CmdLogin->text() + '|' + about.cmdOK->text() + '|' +
                           about.cmdSysInfo->text() + '|' + c.Label5->text() + '|' +
                           c.LabelYear->text() + '|' + c.Command1->text() + '|';
        for (const QLabel* heading : c.Label1)
            captions += heading->text();
        QCOMPARE(captions, "登陆协作网|确定|系统信息(&S)...|月|年|今日|一二三四五六日");
        const std::pair<QWidget*, const char*> looks[] = {
            {&c, "text #000000 on #ffc0ff"},
            {c.Label5, "text #000000 on #ffc0ff"},
            {c.LabelYear, "text #000000 on #ffc0ff"},
            {c.Label4, "text #0000ff on #ffffc0 MS Sans Serif 8.25pt bold"},
            {c.Label1[3], "text #80ff80 on #c00000 MS Sans Serif 8.25pt bold"},
            {c.Label3[20], "text #008080 on #ffe0c0 MS Sans Serif 9.75pt bold"},
            {about.LabelEmail, "text #0000ff 8.25pt"},
            {about.lblDisclaimer, "text #000080"}};
        for (const auto& [control, look] : looks)
            QCOMPARE(lookOf(control), look);
    }

    void theCalendarOpensOnTodaysMonthPagesAndComesBack() {
        const QString year = "             %1年|";
        CalendarWindow c(nullptr, QLocale(QLocale::English));
        activate(&c);
        QCOMPARE(shown(c), year.arg(2024) + "六月|Sunday, 02 June 2024|6-35|7");
        c.HScroll1->setValue(-6); // back across the new year
        QCOMPARE(shown(c), year.arg(2023) + "十二月|Sunday, 02 June 2024|5-35|");
        // Paging away and back marks only the shown cell; September starts on a Sunday.
        c.HScroll1->setValue(3);
        QCOMPARE(shown(c), year.arg(2024) + "九月|Sunday, 02 June 2024|0-29|");
        c.HScroll2->setValue(-1500);
        QCOMPARE(c.ShownDate, QDate(524, 9, 2));
        QTest::keyClick(&c, Qt::Key_Return); // 今日, the default button
        QCOMPARE(shown(c), year.arg(2024) + "六月|Sunday, 02 June 2024|6-35|7");

        // Coming back from another window keeps the month; a new showing starts on today's.
        QWidget other;
        c.HScroll1->setValue(2);
        activate(&other);
        activate(&c);
        QCOMPARE(c.HScroll1->value(), 2);
        c.hide();
        today = today.addDays(1);
        activate(&other);
        activate(&c);
        QCOMPARE(shown(c), year.arg(2024) + "六月|Monday, 03 June 2024|6-35|8");
    }

    // Modeless and shown once: its texts, links and icon, the system
    // information tool, then brought up again rather than opened twice.
    void theAboutWindow() {
        QPointer<AboutWindow> about = showAboutWindow(actions);
        QVERIFY(about && !about->isModal());
        QCOMPARE(about->windowTitle() + '|' + about->lblVersion->text() + '|' +
                     about->LabelEmail->text() + '|' + about->lblDisclaimer->text() + '|' +
                     about->lblDescription->text() + '|' + about->Text1->toPlainText(),
                 "关于 Orvanta同行协作办公信息系统|版本 " PROJECT_VERSION_STRING
                 "|webmaster@velantrix.com|警告:此系统是“Velantrix同行协作网”配套管理客户端软件，"
                 "若想使用全部功能，请登陆https://www.velantrix.com申请协作网企业代号及权限......|"
                 "   Orvanta同行协作办公信息系统是上万家旅游企业同时使用的基本业务工具，"
                 "每天有众多的旅行社登陆或使用此系统。|"
                 "   想与全国的同行开展业务互助合作吗？想同时与上万同行对\n"
                 "话交流吗？想在随时随地管理旅行社的业务吗？想使用强大的\n"
                 "行业资源数据吗？赶快登陆“Velantrix在线”免费申请！\n");
        for (QWidget* label : {about->LabelEmail, about->lblDisclaimer, about->lblDescription}) {
            QTest::mouseClick(label, Qt::LeftButton);
            QTest::mouseClick(label, Qt::RightButton);
        }
        QCOMPARE(log, QStringList({"mail webmaster@velantrix.com",
                                   "open https://www.velantrix.com/tonghang/reginfo.asp"}));

        // The icon box shows the program's icon, as the desktop gets it, scaled the same way.
        const QImage icon =
            about->picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = QImage(ICON_DIR "/hicolor/48x48/apps/orvanta.png")
                                 .scaled(36, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(icon.size() == QSize(36, 36) && drawn.size() == icon.size());
        int off = 0;
        for (int i = 0; i < 36 * 36; ++i)
            off +=
                qAbs(qGray(icon.pixel(i % 36, i / 36)) - qGray(drawn.pixel(i % 36, i / 36))) > 16;
        QVERIFY2(off < 36, qPrintable(QString::number(off) + " pixels differ"));

        const QString tool = "C:\\MSINFO\\msinfo32.exe", unavailable = "message 此时系统信息不可用";
        const std::tuple<bool, bool, QStringList> cases[] = {
            {false, true, {unavailable}}, // as on this platform, without a registry
            {true, true, {"start " + tool}},
            {true, false, {"start " + tool, unavailable}}};
        for (const auto& [registered, startWorks, expected] : cases) {
            FakeRegistry reg;
            if (registered)
                reg.keys[{registry::Root::LocalMachine,
                          "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"}]["PATH"] = {
                    1, tool.toStdString() + '\0'};
            starterSucceeds = startWorks;
            log.clear();
            QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
            QCOMPARE(log, expected);
        }

        QWidget other;
        activate(&other);
        QCOMPARE(showAboutWindow(actions), about.data());
        QTRY_VERIFY_WITH_TIMEOUT(about->isActiveWindow(), Patience);
        QTest::keyClick(about, Qt::Key_Escape); // unloads like OK
        QTRY_VERIFY_WITH_TIMEOUT(about.isNull(), Patience);
        QVERIFY(showAboutWindow(actions) != nullptr);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestClientWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_client_windows.moc"

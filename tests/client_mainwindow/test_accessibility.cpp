// What a screen reader and a keyboard user meet in the main window, the
// calendar and the about box: names, roles and actions as Qt's accessibility
// interfaces report them, Tab and F6, and the places a caption was clipped.

#include "AboutWindow.h"
#include "CalendarWindow.h"
#include "FittedCaptionBox.h"
#include "MainWindow.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "Seams.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

struct FakePane : QWidget, BrowserPane {
    FakePane(QWidget* frame, QStringList* log) : QWidget(frame), log(log) {
        setFocusPolicy(Qt::StrongFocus);
    }
    QStringList* log;
    pane::Result navigate(const QString& address) override {
        *log << address;
        return pane::Ok;
    }
    pane::Result stop() override { return pane::Ok; }
    pane::Result goBack() override { return pane::Ok; }
    pane::Result goForward() override { return pane::Ok; }
    pane::Result refresh() override { return pane::Ok; }
    pane::Result setWidth(double) override { return pane::Ok; }
    pane::Result setHeight(double) override { return pane::Ok; }
};

QAccessibleInterface* accessible(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    QStringList log;
    MainWindow* window = nullptr;

    QWidget* find(const QString& name) const {
        QWidget* w = window->findChild<QWidget*>(name);
        return w ? w
                 : window->Toolbar1->widgetForAction(
                       window->ToolbarButtons.value(name.mid(6).toInt() - 1)); // "button7"
    }

private slots:
    void initTestCase() {
        portal::setBaseUrl(QStringLiteral("http://portal.test/"));
        seams::setMessageHandler([](const seams::Message&) { return seams::Answer::No; });
        seams::setClock([] { return QDateTime(QDate(2024, 6, 2), QTime(9, 30)); });
        MainWindow::Services s;
        s.makePane = [this](QWidget* frame) {
            auto* pane = new FakePane(frame, &log);
            return PaneSlot{pane, pane};
        };
        window = new MainWindow(std::move(s));
        QVERIFY(window->Form_Load());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        log.clear();
    }
    void cleanupTestCase() { delete window; }

    void controlsAreNamedWithRoles_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* control, QAccessible::Role role, const char* name) {
            QTest::newRow(control)
                << QString::fromLatin1(control) << int(role) << QString::fromUtf8(name);
        };
        row("Toolbar1", QAccessible::ToolBar, "工具栏");
        row("button13", QAccessible::Button, "日历");
        row("Command1", QAccessible::Button, "隐藏此控制面板");
        row("Command2", QAccessible::Button, "隐藏此同行对话交流控制面板");
        row("FrameMain", QAccessible::Grouping, "主页面");
        row("FrameAd", QAccessible::Grouping, "广告");
        row("FrameTeam", QAccessible::Grouping, "同行协作网组团中心");
        row("WebBrowserTeam", QAccessible::Client, "同行协作网组团中心");
        row("LblBeijing", QAccessible::Link, "北京");
        row("Label21", QAccessible::Link, "广东");
        row("Label32", QAccessible::Link, "内蒙古");
    }
    void controlsAreNamedWithRoles() {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QAccessibleInterface* a = accessible(find(control));
        QVERIFY(a);
        QCOMPARE(int(a->role()), role);
        QCOMPARE(a->text(QAccessible::Name), name);
    }

    // A region link pressed by a screen reader, or by the keyboard after Tab,
    // shows the region as a click does.
    void regionLinksArePressedWithoutAMouse() {
        QWidget* guangdong = find(QStringLiteral("Label21"));
        QAccessibleActionInterface* actions = accessible(guangdong)->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        find(QStringLiteral("Label31"))->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Label32"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(
            log,
            (QStringList{QString::fromUtf8("http://portal.test/tonghang/allcom.asp?city=广东"),
                         QString::fromUtf8("http://portal.test/tonghang/allcom.asp?city=内蒙古")}));
        log.clear();
    }

    // Tab runs along the toolbar and on into the panes in reading order; F6
    // and Ctrl+Tab go from part to part, Shift+F6 back.
    void keysMoveThroughTheWindow_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("to");
        const auto row = [](const char* tag, const char* from, Qt::Key key,
                            Qt::KeyboardModifiers modifiers, const char* to) {
            QTest::newRow(tag) << QString::fromLatin1(from) << int(key) << int(modifiers)
                               << QString::fromLatin1(to);
        };
        row("Tab along the toolbar", "button12", Qt::Key_Tab, Qt::NoModifier, "button13");
        row("Tab off the toolbar", "button18", Qt::Key_Tab, Qt::NoModifier, "WebBrowserMain");
        row("Tab to the right panel", "WebBrowserMain", Qt::Key_Tab, Qt::NoModifier, "Command2");
        row("Tab to the links", "WebBrowserCom", Qt::Key_Tab, Qt::NoModifier, "LblBeijing");
        row("Tab to the corner", "Label32", Qt::Key_Tab, Qt::NoModifier, "WebBrowserAd");
        row("F6 from the toolbar", "button3", Qt::Key_F6, Qt::NoModifier, "WebBrowserMain");
        row("F6 to the panel", "WebBrowserMain", Qt::Key_F6, Qt::NoModifier, "WebBrowserBbs");
        row("F6 to the links", "WebBrowserCom", Qt::Key_F6, Qt::NoModifier, "LblBeijing");
        row("F6 to the corner", "Label5", Qt::Key_F6, Qt::NoModifier, "WebBrowserAd");
        row("F6 round again", "WebBrowserAd", Qt::Key_F6, Qt::NoModifier, "button1");
        row("Ctrl+Tab", "WebBrowserBbs", Qt::Key_Tab, Qt::ControlModifier, "WebBrowserTeam");
        row("Shift+F6", "WebBrowserMain", Qt::Key_F6, Qt::ShiftModifier, "button1");
        row("Shift+F6 round", "button1", Qt::Key_F6, Qt::ShiftModifier, "WebBrowserAd");
        row("Shift+F6 from a hide button", "Command1", Qt::Key_F6, Qt::ShiftModifier,
            "WebBrowserBbs");
    }
    void keysMoveThroughTheWindow() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, to);
        QWidget* start = find(from);
        start->setFocus(Qt::OtherFocusReason);
        QCOMPARE(QApplication::focusWidget(), start);
        QTest::keyClick(start, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(QApplication::focusWidget(), find(to));
    }

    // F6 passes over panels the user hid.
    void hiddenPanelsArePassedOver() {
        window->Command1_Click(); // hides the bottom strip and the corner
        const auto restore = qScopeGuard([this] { window->Command1_Click(); });
        find(QStringLiteral("WebBrowserBbs"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), find(QStringLiteral("button1")));
    }

    // The hide button sits where the group-tour caption starts: the caption's
    // first character begins clear of it.
    void captionsAreNotCovered() {
        auto* team = static_cast<FittedCaptionBox*>(window->FrameTeam);
        const int inkLeft = team->mapToParent(QPoint(team->captionInkLeft(), 0)).x();
        QVERIFY2(inkLeft > window->Command1->geometry().right(),
                 qPrintable(QString::number(inkLeft)));
    }

    // A theme's larger font (GTK's on GNOME) still shows all eighteen buttons.
    void everyToolbarButtonShowsWithALargeFont() {
        const QFont before = QApplication::font();
        QFont large = before;
        large.setPixelSize(17);
        QApplication::setFont(large);
        const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
        window->resize(window->size() + QSize(0, 1)); // the layout pass a theme change brings
        const auto allShown = [this] {
            for (QAction* a : window->ToolbarButtons) {
                QWidget* b = window->Toolbar1->widgetForAction(a);
                if (!b->isVisible() || b->geometry().right() >= window->Toolbar1->width())
                    return false;
            }
            return true;
        };
        QCoreApplication::sendPostedEvents();
        window->Toolbar1->layout()->activate();
        QVERIFY(allShown());
    }

    // Arrow keys move the day across month ends, Page Up / Page Down the month;
    // the date line is Chinese whatever the system's locale.
    void calendarKeysMoveTheDay_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("monthSpin");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("day");
        const auto row = [](const char* tag, QList<int> keys, int spin, int cell, const char* day) {
            QTest::newRow(tag) << keys << spin << cell << QString::fromUtf8(day);
        };
        row("right", {Qt::Key_Right}, 0, 8, "2024年6月3日星期一");
        row("left over the month", {Qt::Key_Left, Qt::Key_Left}, -1, 33, "2024年5月31日星期五");
        row("down a week", {Qt::Key_Down}, 0, 14, "2024年6月9日星期日");
        row("up a week", {Qt::Key_Up}, -1, 28, "2024年5月26日星期日");
        row("page down twice", {Qt::Key_PageDown, Qt::Key_PageDown}, 2, 5, "2024年8月2日星期五");
        row("page up over the year", QList<int>(6, Qt::Key_PageUp), -6, 6, "2023年12月2日星期六");
    }
    void calendarKeysMoveTheDay() {
        QFETCH(QList<int>, keys);
        QFETCH(int, monthSpin);
        QFETCH(int, cell);
        QFETCH(QString, day);
        CalendarWindow c(window);
        c.show();
        c.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        QTRY_COMPARE(c.Label4->text(), QString::fromUtf8("星期日, 02 六月 2024"));
        for (int key : keys)
            QTest::keyClick(&c, Qt::Key(key));
        QCOMPARE(c.HScroll1->value(), monthSpin);
        QCOMPARE(accessible(c.Label3[cell])->text(QAccessible::Name), day);
        QCOMPARE(c.Label3[cell]->frameShape(), QFrame::Panel);
        QCOMPARE(accessible(c.HScroll1)->text(QAccessible::Name), QString::fromUtf8("月份"));
    }

    // The warning's last line stays inside its label.
    void aboutBoxShowsItsWholeWarning() {
        // The address the program is built with makes the warning four lines long.
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        const auto restore =
            qScopeGuard([] { portal::setBaseUrl(QStringLiteral("http://portal.test/")); });
        auto* about = new AboutWindow({});
        const auto close = qScopeGuard([about] { about->close(); });
        QLabel* warning = about->lblDisclaimer;
        QVERIFY(warning->heightForWidth(warning->width()) <= warning->height());
        QCOMPARE(accessible(about->picIcon)->text(QAccessible::Name),
                 QString::fromUtf8("Orvanta同行协作办公信息系统"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"

// The browser habits of every pane and their one renderer per site, on real
// panes against the demo portal, with the C locale: the Chinese must come
// from the program, not the system.
#include "ChineseUi.h"
#include "FindBar.h"
#include "PaneHabits.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"
#include "ZoomStore.h"

#include <QAbstractButton>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>
#include <optional>

namespace {

using webtest::Patience;

bool loadInto(WebEnginePane& pane, const QString& path) {
    return webtest::loadInto(pane, portal::page(path));
}

// The pane on screen at `size`, with `path` loaded.
bool showLoaded(WebEnginePane& pane, const QString& path, QSize size = {400, 300}) {
    pane.resize(size);
    pane.show();
    return QTest::qWaitForWindowExposed(&pane) && loadInto(pane, path);
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, Patience))
        return {};
    return result->value_or(QVariant());
}

FindBar* findBarOf(QWebEngineView& view) {
    return view.findChild<PaneHabits*>(QString(), Qt::FindDirectChildrenOnly)->findBar();
}

// Where the page takes its keys and mouse: the widget Chromium draws in.
QWidget* pageWidget(QWebEngineView& view) {
    return view.focusProxy() ? view.focusProxy() : &view;
}

void press(QWebEngineView& view, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(pageWidget(view), key, modifiers);
}

// Focuses the pane's page, as a click into it would.
bool focusPage(QWebEngineView& view) {
    view.window()->activateWindow();
    if (!QTest::qWaitForWindowActive(view.window()))
        return false;
    pageWidget(view)->setFocus(Qt::MouseFocusReason);
    return QTest::qWaitFor([&] { return pageWidget(view)->hasFocus(); }, 5000);
}

QString pathOf(const QWebEngineView& view) {
    return view.url().path();
}

double storedZoom(const char* pane) {
    return QSettings(zoomstore::filePath(), QSettings::IniFormat)
        .value(QStringLiteral("zoom/") + pane, -1)
        .toDouble();
}

} // namespace

class TestPaneHabits : public QObject {
    Q_OBJECT
public:
    static void initMain() { webtest::prepareApplication("orvanta-pane-habits-test"); }

private slots:
    void initTestCase() {
        QCOMPARE(chineseui::install(), QStringList());
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
        QFile::remove(zoomstore::filePath());
    }

    void findBarCountsTheMatchesOfThePage() {
        WebEnginePane pane;
        QVERIFY(showLoaded(pane, "find/findme.asp?a=findme-x-findme", {600, 400}));
        // The page's own text says how many there are.
        QCOMPARE(evaluate(pane.page(), "document.body.innerText.split('findme').length-1").toInt(),
                 3);
        QVERIFY(focusPage(pane));

        FindBar* bar = findBarOf(pane);
        QSignalSpy found(bar, &FindBar::found);
        press(pane, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible() && bar->edit()->hasFocus());
        QTest::keyClicks(bar->edit(), "findme");
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString("第 1 项，共 3 项"), Patience);
        const std::pair<Qt::KeyboardModifier, const char*> steps[] = {
            {Qt::NoModifier, "第 2 项，共 3 项"},
            {Qt::ShiftModifier, "第 1 项，共 3 项"},
            {Qt::ShiftModifier, "第 3 项，共 3 项"}, // wraps to the last
        };
        for (const auto& [modifier, shown] : steps) {
            QTest::keyClick(bar->edit(), Qt::Key_Return, modifier);
            QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString(shown), Patience);
        }
        bar->edit()->setText("nowhere-on-the-page");
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString("没有找到"), Patience);

        QTest::keyClick(bar->edit(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible() && !found.isEmpty());
    }

    void zoomIsKeptPerPaneAcrossARestart() {
        {
            WebEnginePane pane;
            pane.setObjectName("WebBrowserTeam");
            QVERIFY(showLoaded(pane, "zoom.asp") && focusPage(pane));
            press(pane, Qt::Key_Equal, Qt::ControlModifier);
            press(pane, Qt::Key_Equal, Qt::ControlModifier);
            QCOMPARE(pane.zoomFactor(), 1.25);
            press(pane, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(pane.zoomFactor(), 1.1);
            // Ctrl + wheel away from the reader zooms in.
            QWheelEvent wheel(QPointF(10, 10), pane.mapToGlobal(QPointF(10, 10)), QPoint(),
                              QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(pageWidget(pane), &wheel);
            QCOMPARE(pane.zoomFactor(), 1.25);
        }
        QCOMPARE(storedZoom("WebBrowserTeam"), 1.25); // on disk, read without the program's code

        WebEnginePane again, other; // a pane of another name keeps its own
        again.setObjectName("WebBrowserTeam");
        other.setObjectName("WebBrowserAd");
        QVERIFY(showLoaded(again, "zoom.asp") && loadInto(other, "zoom.asp"));
        QCOMPARE(again.zoomFactor(), 1.25);
        QCOMPARE(other.zoomFactor(), 1.0);
        // Also in the page: its CSS pixels grow with the zoom.
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(again.page(), "window.devicePixelRatio").toDouble(),
                                  1.25, Patience);

        QVERIFY(focusPage(again));
        press(again, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(again.zoomFactor(), 1.0);
        QCOMPARE(storedZoom("WebBrowserTeam"), -1.0); // no longer stored
    }

    // The steps stop at the ends, and a stored zoom out of range is bounded.
    void zoomStaysInRange() {
        const std::tuple<double, double, double> steps[] = {
            {1.0, 1.1, 0.9}, {1.2, 1.25, 1.1}, {0.25, 1.0 / 3, 0.25}, {5.0, 5.0, 4.0}};
        for (const auto& [from, in, out] : steps) {
            QCOMPARE(zoomstore::zoomIn(from), in);
            QCOMPARE(zoomstore::zoomOut(from), out);
        }
        QSettings stored(zoomstore::filePath(), QSettings::IniFormat);
        const std::pair<QVariant, double> cases[] = {{1e9, 5.0}, {"nan", 1.0}};
        for (const auto& [value, loaded] : cases) {
            stored.setValue("zoom/WebBrowserBbs", value);
            stored.sync();
            QCOMPARE(zoomstore::load("WebBrowserBbs"), loaded);
        }
    }

    // Two panes side by side, both with a page behind them: the keys go to the
    // one with the focus and to no other.
    void shortcutsReachTheFocusedPaneOnly() {
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        WebEnginePane left, right;
        row->addWidget(&left);
        row->addWidget(&right);
        window.resize(800, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const char* page : {"left/1.asp", "left/2.asp"})
            QVERIFY(loadInto(left, page));
        for (const char* page : {"right/1.asp", "right/2.asp"})
            QVERIFY(loadInto(right, page));

        QVERIFY(focusPage(right));
        press(right, Qt::Key_Left, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(right), QString("/right/1.asp"), Patience);
        QCOMPARE(pathOf(left), QString("/left/2.asp"));
        press(right, Qt::Key_Right, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(right), QString("/right/2.asp"), Patience);

        QVERIFY(focusPage(left));
        const int leftLoads = m_portal.count("GET /left/2.asp");
        const int rightLoads = m_portal.count("GET /right/2.asp");
        press(left, Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count("GET /left/2.asp"), leftLoads + 1, Patience);
        press(left, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(left.zoomFactor(), 1.1);
        QCOMPARE(right.zoomFactor(), 1.0);
        press(left, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(findBarOf(left)->isVisible() && !findBarOf(right)->isVisible());
        QTest::qWait(300); // a stray reload would have reached the portal by now
        QCOMPARE(m_portal.count("GET /right/2.asp"), rightLoads);

        // The mouse's back button, on the pane under it.
        QMouseEvent back(QEvent::MouseButtonPress, QPointF(10, 10),
                         left.mapToGlobal(QPointF(10, 10)), Qt::BackButton, Qt::BackButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(pageWidget(left), &back);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(left), QString("/left/1.asp"), Patience);
        QCOMPARE(pathOf(right), QString("/right/2.asp"));
    }

    // The entries under the mouse; "-" marks a disabled one.
    void contextMenuOffersWhatIsUnderTheMouse() {
        PageMenuContext plain, form, link, script;
        form.canGoBack = form.hasSelection = form.editable = true;
        link.canGoForward = link.image = true;
        link.link = QUrl("http://127.0.0.1/x.asp");
        script.link = QUrl("javascript:alert(1)");
        const std::pair<PageMenuContext, const char*> cases[] = {
            {plain, "-后退 -前进 刷新 -复制 -粘贴 打印..."},
            {form, "后退 -前进 刷新 复制 粘贴 打印..."},
            {link, "-后退 前进 刷新 -复制 -粘贴 复制链接地址 在新窗口中打开链接 图片另存为... "
                   "打印..."},
            {script, "-后退 -前进 刷新 -复制 -粘贴 复制链接地址 -在新窗口中打开链接 打印..."},
        };
        for (const auto& [context, entries] : cases) {
            QStringList shown;
            for (const PageMenuEntry& e : pageMenuEntries(context))
                shown.append((e.enabled ? "" : "-") + e.text);
            QCOMPARE(shown.join(' '), QString(entries));
        }
    }

    // A right click on a link: our menu, with the link's entries, opens a
    // window of the client on it.
    void rightClickShowsOurMenu() {
        WebEnginePane pane;
        QVERIFY(showLoaded(pane, "menu.asp"));
        evaluate(pane.page(), QString("document.body.innerHTML = '<a id=l href=\"%1\" "
                                      "style=\"position:fixed;left:0;top:0;width:200px;"
                                      "height:100px;display:block\">link</a>'; 1")
                                  .arg(portal::page("linked.asp")));
        QTest::mouseClick(pageWidget(pane), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = pane.findChild<QMenu*>("PageContextMenu")) && menu->isVisible(), Patience);
        QStringList texts;
        QAction* openLink = nullptr;
        for (QAction* a : menu->actions()) {
            texts.append(a->text());
            openLink = a->text() == "在新窗口中打开链接" ? a : openLink;
        }
        QVERIFY2(openLink && texts.first() == "后退", qPrintable(texts.join(u',')));

        const qsizetype before = webtest::browserWindows().size();
        openLink->trigger();
        menu->close();
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count("GET /linked.asp"), 1, Patience);
        QCOMPARE(webtest::browserWindows().size(), before + 1);
        qDeleteAll(webtest::browserWindows());
    }

    // Chromium's own texts come from its zh-CN locale, whatever the system's;
    // a script's alert is our box, in Chinese.
    void chromiumAndAlertsSpeakChinese() {
        WebEnginePane pane;
        QVERIFY(showLoaded(pane, "form.asp"));
        QCOMPARE(evaluate(pane.page(), "navigator.language").toString(), QString("zh-CN"));
        QCOMPARE(evaluate(pane.page(), "(() => { const i = document.createElement('input');"
                                       " i.required = true; return i.validationMessage; })()")
                     .toString(),
                 QString("请填写此字段。"));

        // The alert: titled with the program's name, its button in Chinese.
        QStringList seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                seen.append(dialog->windowTitle());
                for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                    seen.append(b->text());
                dialog->accept();
            }
        });
        poll.start(50);
        pane.page()->runJavaScript("alert('提示')");
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), Patience);
        QCOMPARE(seen, (QStringList{"Orvanta同行协作办公信息系统", "确定"}));
    }

private:
    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestPaneHabits)
#include "test_pane_habits.moc"

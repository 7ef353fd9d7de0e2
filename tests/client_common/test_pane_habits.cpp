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
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWheelEvent>
#include <csignal>
#include <memory>
#include <optional>
#include <vector>

Q_DECLARE_METATYPE(PageMenuContext)

namespace {

using webtest::Patience;

bool loadInto(WebEnginePane& pane, const QString& path) {
    QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
    pane.navigate(portal::page(path));
    return finished.wait(Patience) && finished.last().at(0).toBool();
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, Patience))
        return {};
    return result->value_or(QVariant());
}

PaneHabits* habitsOf(QWebEngineView& view) {
    return view.findChild<PaneHabits*>(QString(), Qt::FindDirectChildrenOnly);
}

// Where the page takes its keys and mouse: the widget Chromium draws in.
QWidget* pageWidget(QWebEngineView& view) {
    return view.focusProxy() ? view.focusProxy() : &view;
}

// Focuses the pane's page, as a click into it would.
bool focusPage(QWebEngineView& view) {
    view.window()->activateWindow();
    if (!QTest::qWaitForWindowActive(view.window())) {
        qWarning("window not active");
        return false;
    }
    pageWidget(view)->setFocus(Qt::MouseFocusReason);
    return QTest::qWaitFor([&] { return pageWidget(view)->hasFocus(); }, 5000);
}

QString pathOf(const QWebEngineView& view) {
    return view.url().path();
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
        pane.resize(600, 400);
        pane.show();
        QVERIFY(loadInto(pane, QStringLiteral("find/findme.asp?a=findme-x-findme")));
        // The page's own text says how many there are.
        const int expected =
            evaluate(pane.page(),
                     QStringLiteral("document.body.innerText.split('findme').length-1"))
                .toInt();
        QCOMPARE(expected, 3);
        QVERIFY(focusPage(pane));

        FindBar* bar = habitsOf(pane)->findBar();
        QSignalSpy found(bar, &FindBar::found);
        QTest::keyClick(pageWidget(pane), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible());
        QVERIFY(bar->edit()->hasFocus());
        QTest::keyClicks(bar->edit(), QStringLiteral("findme"));
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QStringLiteral("第 1 项，共 3 项"), Patience);

        QTest::keyClick(bar->edit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QStringLiteral("第 2 项，共 3 项"), Patience);
        QTest::keyClick(bar->edit(), Qt::Key_Return, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QStringLiteral("第 1 项，共 3 项"), Patience);
        QTest::keyClick(bar->edit(), Qt::Key_Return, Qt::ShiftModifier); // wraps to the last
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QStringLiteral("第 3 项，共 3 项"), Patience);

        bar->edit()->setText(QStringLiteral("nowhere-on-the-page"));
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QStringLiteral("没有找到"), Patience);

        QTest::keyClick(bar->edit(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(!found.isEmpty());
    }

    void zoomIsKeptPerPaneAcrossARestart() {
        const QString name = QStringLiteral("WebBrowserTeam");
        {
            WebEnginePane pane;
            pane.setObjectName(name);
            pane.resize(400, 300);
            pane.show();
            QVERIFY(loadInto(pane, QStringLiteral("zoom.asp")));
            QVERIFY(focusPage(pane));
            QTest::keyClick(pageWidget(pane), Qt::Key_Equal, Qt::ControlModifier);
            QTest::keyClick(pageWidget(pane), Qt::Key_Equal, Qt::ControlModifier);
            QCOMPARE(pane.zoomFactor(), 1.25);
            QTest::keyClick(pageWidget(pane), Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(pane.zoomFactor(), 1.1);
            // Ctrl + wheel away from the reader zooms in.
            QWheelEvent wheel(QPointF(10, 10), pane.mapToGlobal(QPointF(10, 10)), QPoint(),
                              QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(pageWidget(pane), &wheel);
            QCOMPARE(pane.zoomFactor(), 1.25);
        }
        // What is on disk, read without the program's code.
        QCOMPARE(QSettings(zoomstore::filePath(), QSettings::IniFormat)
                     .value(QStringLiteral("zoom/WebBrowserTeam"))
                     .toDouble(),
                 1.25);

        WebEnginePane again;
        again.setObjectName(name);
        again.resize(400, 300);
        again.show();
        QVERIFY(loadInto(again, QStringLiteral("zoom.asp")));
        QCOMPARE(again.zoomFactor(), 1.25);
        // Also in the page: its CSS pixels grow with the zoom.
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(again.page(), QStringLiteral("window.devicePixelRatio")).toDouble(), 1.25,
            Patience);

        WebEnginePane other; // a pane of another name keeps its own
        other.setObjectName(QStringLiteral("WebBrowserAd"));
        QVERIFY(loadInto(other, QStringLiteral("zoom.asp")));
        QCOMPARE(other.zoomFactor(), 1.0);

        QVERIFY(focusPage(again));
        QTest::keyClick(pageWidget(again), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(again.zoomFactor(), 1.0);
        QVERIFY(!QSettings(zoomstore::filePath(), QSettings::IniFormat)
                     .contains(QStringLiteral("zoom/WebBrowserTeam")));
    }

    void zoomStepsStopAtTheEnds_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::newRow("default") << 1.0 << 1.1 << 0.9;
        QTest::newRow("between steps") << 1.2 << 1.25 << 1.1;
        QTest::newRow("smallest") << 0.25 << 1.0 / 3 << 0.25;
        QTest::newRow("largest") << 5.0 << 5.0 << 4.0;
    }
    void zoomStepsStopAtTheEnds() {
        QFETCH(double, from);
        QFETCH(double, in);
        QFETCH(double, out);
        QCOMPARE(zoomstore::zoomIn(from), in);
        QCOMPARE(zoomstore::zoomOut(from), out);
    }

    void storedZoomOutOfRangeIsBounded() {
        QSettings(zoomstore::filePath(), QSettings::IniFormat)
            .setValue(QStringLiteral("zoom/WebBrowserBbs"), 1e9);
        QCOMPARE(zoomstore::load(QStringLiteral("WebBrowserBbs")), 5.0);
        QSettings(zoomstore::filePath(), QSettings::IniFormat)
            .setValue(QStringLiteral("zoom/WebBrowserBbs"), QStringLiteral("nan"));
        QCOMPARE(zoomstore::load(QStringLiteral("WebBrowserBbs")), 1.0);
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
        for (WebEnginePane* pane : {&left, &right}) {
            const QString side = pane == &left ? QStringLiteral("left") : QStringLiteral("right");
            QVERIFY(loadInto(*pane, side + QStringLiteral("/1.asp")));
            QVERIFY(loadInto(*pane, side + QStringLiteral("/2.asp")));
        }

        QVERIFY(focusPage(right));
        QTest::keyClick(pageWidget(right), Qt::Key_Left, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(right), QStringLiteral("/right/1.asp"), Patience);
        QCOMPARE(pathOf(left), QStringLiteral("/left/2.asp"));
        QTest::keyClick(pageWidget(right), Qt::Key_Right, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(right), QStringLiteral("/right/2.asp"), Patience);

        QVERIFY(focusPage(left));
        const int leftLoads = m_portal.count(QStringLiteral("GET /left/2.asp"));
        const int rightLoads = m_portal.count(QStringLiteral("GET /right/2.asp"));
        QTest::keyClick(pageWidget(left), Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /left/2.asp")), leftLoads + 1,
                                  Patience);
        QTest::keyClick(pageWidget(left), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(left.zoomFactor(), 1.1);
        QCOMPARE(right.zoomFactor(), 1.0);
        QTest::keyClick(pageWidget(left), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(habitsOf(left)->findBar()->isVisible());
        QVERIFY(!habitsOf(right)->findBar()->isVisible());
        QTest::qWait(300); // a stray reload would have reached the portal by now
        QCOMPARE(m_portal.count(QStringLiteral("GET /right/2.asp")), rightLoads);

        // The mouse's back button, on the pane under it.
        QMouseEvent back(QEvent::MouseButtonPress, QPointF(10, 10),
                         left.mapToGlobal(QPointF(10, 10)), Qt::BackButton, Qt::BackButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(pageWidget(left), &back);
        QTRY_COMPARE_WITH_TIMEOUT(pathOf(left), QStringLiteral("/left/1.asp"), Patience);
        QCOMPARE(pathOf(right), QStringLiteral("/right/2.asp"));
    }

    // One renderer for the portal's panes; when it dies, every pane it took
    // down loads its page again.
    void panesOfOneSiteShareARendererAndAllRecover() {
        const QStringList pages{QStringLiteral("site/a.asp"), QStringLiteral("site/b.asp"),
                                QStringLiteral("site/c.asp")};
        std::vector<std::unique_ptr<WebEnginePane>> panes;
        for (const QString& page : pages) {
            panes.push_back(std::make_unique<WebEnginePane>());
            QVERIFY(loadInto(*panes.back(), page));
        }
        const qint64 renderer = panes.front()->page()->renderProcessPid();
        QVERIFY(renderer > 0);
        for (const auto& pane : panes)
            QCOMPARE(pane->page()->renderProcessPid(), renderer);

        QCOMPARE(::kill(pid_t(renderer), SIGKILL), 0);
        for (const QString& page : pages)
            QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /") + page), 2, Patience);
        for (const auto& pane : panes) {
            QTRY_VERIFY_WITH_TIMEOUT(!pane->page()->isLoading(), Patience);
            QVERIFY(pane->page()->renderProcessPid() != renderer);
            QCOMPARE(evaluate(pane->page(),
                              QStringLiteral("document.getElementById('path').textContent"))
                         .toString(),
                     pane->url().path());
        }
    }

    void contextMenuOffersWhatIsUnderTheMouse_data() {
        QTest::addColumn<PageMenuContext>("context");
        QTest::addColumn<QStringList>("entries"); // "-" marks a disabled one
        const QUrl web(QStringLiteral("http://127.0.0.1/x.asp"));
        PageMenuContext plain;
        QTest::newRow("plain page")
            << plain << QStringList{QStringLiteral("-后退"), QStringLiteral("-前进"),
                                    QStringLiteral("刷新"),  QStringLiteral("-复制"),
                                    QStringLiteral("-粘贴"), QStringLiteral("打印...")};
        PageMenuContext form;
        form.canGoBack = true;
        form.hasSelection = true;
        form.editable = true;
        QTest::newRow("text field")
            << form << QStringList{QStringLiteral("后退"), QStringLiteral("-前进"),
                                   QStringLiteral("刷新"), QStringLiteral("复制"),
                                   QStringLiteral("粘贴"), QStringLiteral("打印...")};
        PageMenuContext link;
        link.canGoForward = true;
        link.link = web;
        link.image = true;
        QTest::newRow("image link") << link
                                    << QStringList{QStringLiteral("-后退"),
                                                   QStringLiteral("前进"),
                                                   QStringLiteral("刷新"),
                                                   QStringLiteral("-复制"),
                                                   QStringLiteral("-粘贴"),
                                                   QStringLiteral("复制链接地址"),
                                                   QStringLiteral("在新窗口中打开链接"),
                                                   QStringLiteral("图片另存为..."),
                                                   QStringLiteral("打印...")};
        PageMenuContext script;
        script.link = QUrl(QStringLiteral("javascript:alert(1)"));
        QTest::newRow("script link") << script
                                     << QStringList{QStringLiteral("-后退"),
                                                    QStringLiteral("-前进"),
                                                    QStringLiteral("刷新"),
                                                    QStringLiteral("-复制"),
                                                    QStringLiteral("-粘贴"),
                                                    QStringLiteral("复制链接地址"),
                                                    QStringLiteral("-在新窗口中打开链接"),
                                                    QStringLiteral("打印...")};
    }
    void contextMenuOffersWhatIsUnderTheMouse() {
        QFETCH(PageMenuContext, context);
        QFETCH(QStringList, entries);
        QStringList shown;
        for (const PageMenuEntry& e : pageMenuEntries(context))
            shown.append((e.enabled ? QString() : QStringLiteral("-")) + e.text);
        QCOMPARE(shown, entries);
    }

    // A right click on a link: our menu, with the link's entries, opens a
    // window of the client on it.
    void rightClickShowsOurMenu() {
        WebEnginePane pane;
        pane.resize(400, 300);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QVERIFY(loadInto(pane, QStringLiteral("menu.asp")));
        const QString link = portal::page(QStringLiteral("linked.asp"));
        evaluate(pane.page(), QStringLiteral("document.body.innerHTML = '<a id=l href=\"%1\" "
                                             "style=\"position:fixed;left:0;top:0;width:200px;"
                                             "height:100px;display:block\">link</a>'; 1")
                                  .arg(link));
        QTest::mouseClick(pageWidget(pane), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = pane.findChild<QMenu*>(QStringLiteral("PageContextMenu"))) && menu->isVisible(),
            Patience);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts.append(a->text());
        QVERIFY2(texts.contains(QStringLiteral("在新窗口中打开链接")),
                 qPrintable(texts.join(u',')));
        QCOMPARE(texts.first(), QStringLiteral("后退"));

        const int before = int(webtest::browserWindows().size());
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("在新窗口中打开链接"))
                a->trigger();
        menu->close();
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /linked.asp")), 1, Patience);
        QCOMPARE(int(webtest::browserWindows().size()), before + 1);
        qDeleteAll(webtest::browserWindows());
    }

    // Chromium's own texts come from its zh-CN locale, whatever the system's.
    void chromiumSpeaksChinese() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, QStringLiteral("form.asp")));
        QCOMPARE(evaluate(pane.page(), QStringLiteral("navigator.language")).toString(),
                 QStringLiteral("zh-CN"));
        const QString validation =
            QStringLiteral("(() => { const i = document.createElement('input'); i.required = true;"
                           " return i.validationMessage; })()");
        QCOMPARE(evaluate(pane.page(), validation).toString(), QStringLiteral("请填写此字段。"));
    }

    void javaScriptAlertIsInChinese() {
        WebEnginePane pane;
        pane.show();
        QVERIFY(loadInto(pane, QStringLiteral("alert.asp")));
        QStringList buttons;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* b : box->buttons())
                buttons.append(b->text());
            box->accept();
        });
        poll.start(50);
        pane.page()->runJavaScript(QStringLiteral("alert('提示')"));
        QTRY_VERIFY_WITH_TIMEOUT(!buttons.isEmpty(), Patience);
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }

private:
    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestPaneHabits)
#include "test_pane_habits.moc"

#include "LayoutApply.h"
#include "MenuBarBuilder.h"
#include "MenuTable.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "RegionTable.h"
#include "ToolbarBuilder.h"
#include "ToolbarTable.h"
#include "Topmost.h"
#include "Twips.h"

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <memory>

class TestCommandWidgets : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> window;
    QHash<QString, QAction*> menuActions;
    QList<QAction*> toolActions;
    QToolBar* tools = nullptr;
    QStringList clicks;

private slots:
    void initTestCase() {
        portal::setBaseUrl(QStringLiteral("http://127.0.0.1:8123/"));
        window = std::make_unique<QMainWindow>();
        menuActions = menus::buildMenuBar(window->menuBar(), [this](QStringView control, int n) {
            clicks << control.toString() + QLatin1Char('/') + QString::number(n);
        });
        tools = window->addToolBar(QStringLiteral("Toolbar1"));
        toolActions = toolbar::buildToolbar(tools, [this](int n) { clicks << QString::number(n); });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void init() { clicks.clear(); }

    void menuBarShowsEachItemWhereTheTableSays_data() {
        QTest::addColumn<int>("menu");
        QTest::addColumn<int>("item");
        const auto bar = menus::menuBar();
        for (std::size_t m = 0; m < bar.size(); ++m)
            for (std::size_t i = 0; i < bar[m].items.size(); ++i)
                QTest::newRow(qPrintable(bar[m].items[i].control.toString())) << int(m) << int(i);
    }
    void menuBarShowsEachItemWhereTheTableSays() {
        QFETCH(int, menu);
        QFETCH(int, item);
        const menus::Menu& m = menus::menuBar()[std::size_t(menu)];
        const menus::Item& it = m.items[std::size_t(item)];

        QAction* menuAction = window->menuBar()->actions().value(menu);
        QVERIFY(menuAction && menuAction->menu());
        QCOMPARE(menuAction->text(), m.caption.toString());
        QAction* a = menuAction->menu()->actions().value(item);
        QCOMPARE(a, menuActions.value(it.control.toString()));
        QCOMPARE(a->text(), it.caption.toString());
        QVERIFY(a->isEnabled() && a->isVisible());
        QVERIFY(a->shortcut().isEmpty());
        QCOMPARE(a->isCheckable(), it.tick != menus::Tick::None);
        QCOMPARE(a->isChecked(), it.tick == menus::Tick::Set);

        a->trigger();
        QCOMPARE(clicks, QStringList{it.control.toString() + QLatin1Char('/') +
                                     QString::number(it.number)});
    }

    void menuBarHasNothingElse() {
        QCOMPARE(window->menuBar()->actions().size(), 12);
        int items = 0;
        for (QAction* m : window->menuBar()->actions())
            for (QAction* a : m->menu()->actions()) {
                QVERIFY(!a->isSeparator());
                ++items;
            }
        QCOMPARE(items, 84);
        QCOMPARE(menuActions.size(), 84);
    }

    void toolbarButtonShowsItsTextsAndReportsItsNumber_data() {
        QTest::addColumn<int>("number");
        for (const toolbar::Button& b : toolbar::buttons())
            QTest::newRow(qPrintable(b.key.toString())) << b.number;
    }
    void toolbarButtonShowsItsTextsAndReportsItsNumber() {
        QFETCH(int, number);
        const toolbar::Button* b = toolbar::findButton(number);
        QAction* a = toolActions.value(number - 1);
        QVERIFY(a);
        QCOMPARE(tools->actions().indexOf(a), number - 1);
        auto* button = qobject_cast<QToolButton*>(tools->widgetForAction(a));
        QVERIFY(button);
        QCOMPARE(button->text(), b->caption.toString());
        QCOMPARE(button->toolTip(), toolbar::tooltipText(*b));
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(button->iconSize(), QSize(25, 25));
        QVERIFY(!a->icon().isNull());

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, QStringList{QString::number(number)});
    }

    void orderTooltipNamesThePortalHost() {
        QCOMPARE(toolActions.value(5)->toolTip(), QStringLiteral("管理你在127.0.0.1上的订单"));
    }

    void toolbarImagesAreDrawnAndDistinct() {
        QList<QImage> images;
        for (int n = 1; n <= toolbar::ImageCount; ++n) {
            const QImage image = toolbar::toolbarImage(n)
                                     .pixmap(QSize(25, 25))
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(25, 25));
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    inked += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(inked > 40, qPrintable(QString::number(n)));
            QVERIFY2(!images.contains(image), qPrintable(QString::number(n)));
            images << image;
        }
        QVERIFY(toolbar::toolbarImage(0).isNull());
        QVERIFY(toolbar::toolbarImage(20).isNull());
    }

    void regionLabelSitsInItsPlaceAndSendsItsRegion_data() {
        QTest::addColumn<int>("index");
        int index = 0;
        for (const regions::Link& link : regions::links())
            QTest::newRow(qPrintable(link.control.toString())) << index++;
    }
    void regionLabelSitsInItsPlaceAndSendsItsRegion() {
        QFETCH(int, index);
        const regions::Link& link = regions::links()[std::size_t(index)];
        QFrame frame;
        frame.setGeometry(twips::rect(0, 0, 3495, 1935));
        QStringList sent;
        const auto labels =
            regions::buildRegionLinks(&frame, [&](const QString& region) { sent << region; });
        QCOMPARE(labels.size(), 33);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        regions::ClickLabel* label = labels.value(index);
        QCOMPARE(label->parentWidget(), &frame);
        QCOMPARE(label->objectName(), link.control.toString());
        QCOMPARE(label->text(), link.caption.toString());
        QCOMPARE(label->geometry(), twips::rect(link.left, link.top, link.width, 255));

        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(sent, QStringList{link.region.toString()});
        QTest::mouseClick(label, Qt::RightButton);
        QCOMPARE(sent.size(), 1);
    }

    void pressDraggedOffALabelIsNoClick() {
        QFrame frame;
        QStringList sent;
        const auto labels = regions::buildRegionLinks(&frame, [&](const QString& r) { sent << r; });
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTest::mousePress(labels.first(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(labels.first(), Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(sent.isEmpty());
    }

    void appliedLayoutMovesAndHidesTheFrames_data() {
        QTest::addColumn<int>("operation");
        QTest::newRow("load") << 0;
        QTest::newRow("SysBbs") << 1;
        QTest::newRow("SysTonghang") << 2;
        QTest::newRow("both panels") << 3;
        QTest::newRow("conversation") << 4;
    }
    void appliedLayoutMovesAndHidesTheFrames() {
        QFETCH(int, operation);
        QWidget top;
        layout::Widgets w;
        w.FrameMain = new QFrame(&top);
        w.FrameBbs = new QFrame(&top);
        w.FrameTonghang = new QFrame(&top);
        w.FrameAd = new QFrame(&top);
        w.FrameTeam = new QFrame(w.FrameTonghang);
        w.FrameTourist = new QFrame(w.FrameTonghang);
        w.FrameTouristAll = new QFrame(w.FrameTonghang);
        w.WebBrowserMain = new QWidget(w.FrameMain);
        w.WebBrowserBbs = new QWidget(w.FrameBbs);
        w.WebBrowserCom = new QWidget(w.FrameTourist);
        w.WebBrowserTeam = new QWidget(w.FrameTeam);
        top.show();

        layout::MainLayout m;
        layout::apply(m.controls(), w);
        switch (operation) {
        case 1:
            m.SysBbs_Click();
            break;
        case 2:
            m.SysTonghang_Click();
            break;
        case 3:
            m.bothPanelsToggle();
            break;
        case 4:
            m.conversationWidthToggle();
            break;
        default:
            break;
        }
        layout::apply(m.controls(), w);

        const auto& c = m.controls();
        const std::pair<QWidget*, const layout::Geometry*> pairs[] = {
            {w.FrameMain, &c.FrameMain},
            {w.FrameBbs, &c.FrameBbs},
            {w.FrameTonghang, &c.FrameTonghang},
            {w.FrameAd, &c.FrameAd},
            {w.FrameTeam, &c.FrameTeam},
            {w.FrameTourist, &c.FrameTourist},
            {w.FrameTouristAll, &c.FrameTouristAll},
            {w.WebBrowserMain, &c.WebBrowserMain},
            {w.WebBrowserBbs, &c.WebBrowserBbs},
            {w.WebBrowserCom, &c.WebBrowserCom},
            {w.WebBrowserTeam, &c.WebBrowserTeam},
        };
        for (const auto& [widget, g] : pairs) {
            QCOMPARE(widget->geometry(), twips::rect(g->left, g->top, g->width, g->height));
            QCOMPARE(!widget->isHidden(), g->visible);
        }
        if (operation == 0)
            QCOMPARE(w.FrameMain->geometry(), QRect(0, 56, 600, 335));
    }

    void keepOnTopKeepsThePlaceOnScreen() {
        QWidget win;
        win.setGeometry(120, 80, 400, 300);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        const QRect before = win.geometry();

        QVERIFY(topmost::setTopmost(std::uintptr_t(win.winId()), true));
        QVERIFY(win.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(win.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(win.isVisible());
        QCOMPARE(win.geometry(), before);

        QVERIFY(topmost::setTopmost(std::uintptr_t(win.winId()), false));
        QVERIFY(!win.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!win.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(win.isVisible());
        QCOMPARE(win.geometry(), before);
    }

    void keepOnTopRefusesAnUnknownWindow() { QVERIFY(!topmost::setTopmost(0, true)); }
};

QTEST_MAIN(TestCommandWidgets)
#include "test_command_widgets.moc"

// What the main window's tests cannot see: the drawn toolbar images, a click
// that is no click, and the keep-on-top backend on its own.

#include "RegionLinks.h"
#include "ToolbarBuilder.h"
#include "ToolbarTable.h"
#include "Topmost.h"

#include <QFrame>
#include <QToolBar>
#include <QToolButton>
#include <QTest>
#include <QWindow>

class TestCommandWidgets : public QObject {
    Q_OBJECT
private slots:
    void toolbarImagesAreDrawnAndDistinct() {
        QList<QImage> images;
        for (int n = 1; n <= toolbar::ImageCount; ++n) {
            const QImage image = toolbar::toolbarImage(n).pixmap(QSize(25, 25)).toImage();
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

    void toolbarStartsWithRaisedButtons() {
        // The flat style is what the user switches on; it must not be the start.
        QToolBar bar;
        const QList<QAction*> actions = toolbar::buildToolbar(&bar, [](int) {});
        QCOMPARE(actions.size(), 18);
        for (QAction* a : actions) {
            auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(a));
            QVERIFY(button);
            QVERIFY2(!button->autoRaise(), qPrintable(a->objectName()));
        }
    }

    void pressDraggedOffALabelIsNoClick() {
        QFrame frame;
        QStringList sent;
        const auto labels = regions::buildRegionLinks(&frame, [&](const QString& r) { sent << r; });
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTest::mousePress(labels.first(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(labels.first(), Qt::LeftButton, {}, QPoint(-20, -20));
        QTest::mouseClick(labels.first(), Qt::RightButton);
        QVERIFY(sent.isEmpty());
        QTest::mouseClick(labels.first(), Qt::LeftButton);
        QCOMPARE(sent, QStringList{"北京"});
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

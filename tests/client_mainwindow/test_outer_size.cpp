// The main window's designed 12000 x 8800 twips is its outer size, and the
// layout reads that size: the frames land where the design's worked example
// puts them.

#include "BrowserPane.h"
#include "MainWindow.h"

#include <QGroupBox>
#include <QtTest>

namespace {
struct QuietPane : QWidget, BrowserPane {
    using QWidget::QWidget;
    pane::Result navigate(const QString&) override { return pane::Ok; }
    pane::Result stop() override { return pane::Ok; }
    pane::Result goBack() override { return pane::Ok; }
    pane::Result goForward() override { return pane::Ok; }
    pane::Result refresh() override { return pane::Ok; }
    pane::Result setWidth(double) override { return pane::Ok; }
    pane::Result setHeight(double) override { return pane::Ok; }
};
} // namespace

class TestOuterSize : public QObject {
    Q_OBJECT

private slots:
    void theFramesFollowTheOuterSize_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QRect>(
            "pixels"); // the worked example in twips / 15, rounded; 587 px high is 8805 twips
        QTest::newRow("FrameMain") << "FrameMain" << QRect(0, 56, 600, 335);
        QTest::newRow("FrameBbs") << "FrameBbs" << QRect(607, 56, 185, 330);
        QTest::newRow("FrameTonghang") << "FrameTonghang" << QRect(0, 387, 600, 152);
        QTest::newRow("FrameAd") << "FrameAd" << QRect(607, 387, 180, 152);
    }
    void theFramesFollowTheOuterSize() {
        QFETCH(QString, frame);
        QFETCH(QRect, pixels);
        MainWindow::Services services;
        services.makePane = [](QWidget* parent) {
            auto* pane = new QuietPane(parent);
            return PaneSlot{pane, pane};
        };
        MainWindow w(std::move(services));
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.frameGeometry().size(), QSize(800, 587)); // 12000 x 8800 twips, outside
        QCOMPARE(w.findChild<QGroupBox*>(frame)->geometry(), pixels);
    }
};

QTEST_MAIN(TestOuterSize)
#include "test_outer_size.moc"

// The splash window: shortcuts first, then the timer and the beep; bare,
// centred, filled with its artwork; one hand-over a second later.

#include "Seams.h"
#include "ShellLink.h"
#include "SplashWindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

struct Links : shelllink::ShellLinkBackend {
    QStringList log; // links and shortcuts made, and the beep
    shelllink::Outcome createLink(const std::string&, const std::string& caption,
                                  const std::string&, const std::string&, bool,
                                  std::string&) override {
        log << QString::fromStdString(caption);
        return {};
    }
    bool writeInternetShortcut(const std::string& name, const std::string&) override {
        log << QString::fromStdString(name);
        return true;
    }
};

} // namespace

class TestSplashWindow : public QObject {
    Q_OBJECT
private slots:
    void loadsShowsAndHandsOverOnce() {
        Links links;
        const seams::Action previousBeep = seams::setBeep([&] { links.log << "beep"; });
        int mainShown = 0;
        QPointer<SplashWindow> splash = new SplashWindow(links, [&] { ++mainShown; });
        QElapsedTimer clock;
        clock.start();
        splash->Form_Load();
        QCOMPARE(links.log,
                 QStringList({"Velantrix在线同行协作", "Orvanta", "Orvanta从业工具箱",
                              "Orvanta同行协作网络办公信息系统", "Brickvane游戏", "beep"}));
        QCOMPARE(splash->Timer1->interval(), 1000);

        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        // 6000 x 4800 twips, filled with the artwork, with no frame and no taskbar entry
        QVERIFY(splash->size() == QSize(400, 320) && splash->Img1->geometry() == splash->rect() &&
                splash->Img1->pixmap().size() == QSize(400, 320));
        QVERIFY(splash->windowType() == Qt::SplashScreen &&
                splash->windowFlags() & Qt::FramelessWindowHint);
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);

        QTRY_COMPARE_WITH_TIMEOUT(mainShown, 1, 15000);
        QVERIFY(clock.elapsed() >= 900);
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 15000); // and with it its timer
        QCOMPARE(mainShown, 1);
        seams::setBeep(previousBeep);
    }
};

QTEST_MAIN(TestSplashWindow)
#include "test_splash_window.moc"

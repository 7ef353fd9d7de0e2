// The splash window over a recording shell-link backend and scripted seams.

#include "FrmLoad.h"
#include "Portal.h"
#include "RecordingLinks.h"
#include "Seams.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestFrmLoad : public QObject {
    Q_OBJECT

    QStringList log;
    QList<seams::Message> messages;
    RecordingLinks links;
    int mainShown = 0;
    seams::MessageHandler previousMessages;
    seams::Action previousBeep;

    // Parentless and deleting itself, as in the program.
    FrmLoad* makeSplash() {
        return new FrmLoad(links, [this] { ++mainShown; });
    }

private slots:
    void initTestCase() {
        portal::setBaseUrl(QStringLiteral("http://127.0.0.1:9/"));
        previousMessages = seams::setMessageHandler([this](const seams::Message& m) {
            messages << m;
            log << "message " + m.text;
            return seams::Answer::Ok;
        });
        previousBeep = seams::setBeep([this] { log << QStringLiteral("beep"); });
    }

    void cleanupTestCase() {
        seams::setMessageHandler(previousMessages);
        seams::setBeep(previousBeep);
    }

    void init() {
        log.clear();
        messages.clear();
        links = RecordingLinks();
        mainShown = 0;
    }

    void loadWritesTheShortcutsBeforeArmingTheTimer() {
        QPointer<FrmLoad> splash = makeSplash();
        links.onCall = [&] {
            log << QStringLiteral("call, timer %1, visible %2")
                       .arg(splash->Timer1->isActive())
                       .arg(splash->isVisible());
        };
        splash->Form_Load();
        QCOMPARE(links.internetShortcuts,
                 QStringList({"Velantrix在线同行协作 http://127.0.0.1:9"}));
        QCOMPARE(links.links.size(), 4);
        QCOMPARE(log, QStringList(5, QStringLiteral("call, timer 0, visible 0")) << "beep");
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(splash->Timer1->interval(), 1000);
        QVERIFY(messages.isEmpty());
        delete splash;
    }

    void aFailingLinkIsToldOnceAndStartUpGoesOn() {
        links.failAt = 0;
        links.failure = "拒绝访问。";
        QPointer<FrmLoad> splash = makeSplash();
        splash->Form_Load();
        QCOMPARE(links.links.size(), 1);
        QCOMPARE(log, QStringList({"message 拒绝访问。", "beep"}));
        QCOMPARE(messages[0].buttons, seams::Buttons::Ok);
        QCOMPARE(messages[0].icon, seams::Icon::None);
        QVERIFY(messages[0].title.isEmpty());
        QVERIFY(splash->Timer1->isActive());
        delete splash;
    }

    void theSplashIsBareCentredAndFilledWithTheArtwork() {
        QPointer<FrmLoad> splash = makeSplash();
        splash->Form_Load();
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QCOMPARE(splash->size(), QSize(400, 320));        // 6000 x 4800 twips
        QCOMPARE(splash->windowType(), Qt::SplashScreen); // no taskbar entry
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash->Pic1->geometry(), splash->rect());
        QCOMPARE(splash->Img1->geometry(), splash->rect());
        const QPixmap art = splash->Img1->pixmap();
        QCOMPARE(art.size(), QSize(400, 320));
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        delete splash;
    }

    void aSecondLaterItHidesHandsOverOnceAndGoes() {
        FrmLoad* raw = nullptr;
        bool visibleAtHandOver = true;
        raw = new FrmLoad(links, [&] {
            visibleAtHandOver = raw->isVisible();
            ++mainShown;
        });
        QPointer<FrmLoad> splash = raw;
        QElapsedTimer clock;
        clock.start();
        splash->Form_Load();
        splash->show();
        QTRY_COMPARE_WITH_TIMEOUT(mainShown, 1, 15000);
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(!visibleAtHandOver);
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 15000);
        QTest::qWait(1200);
        QCOMPARE(mainShown, 1);
    }
};

QTEST_MAIN(TestFrmLoad)
#include "test_frmload.moc"

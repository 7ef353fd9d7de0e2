// Brickvane names the portal Orvanta shows: ORVANTA_PORTAL_URL, under the same rules.

#include "GameAboutBox.h"
#include "GameTexts.h"
#include "GameWindow.h"
#include "Portal.h"

#include <QLabel>
#include <QtTest>

class TestGamePortal : public QObject {
    Q_OBJECT

private slots:
    void theGameNamesThePortalOfTheEnvironment_data() {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("demo portal") << "http://127.0.0.1:8080/" << true << "http://127.0.0.1:8080";
        QTest::newRow("final slash added")
            << "https://staging.velantrix.com" << true << "https://staging.velantrix.com";
        QTest::newRow("not a web address") << "ftp://127.0.0.1/" << false << "";
    }
    void theGameNamesThePortalOfTheEnvironment() {
        QFETCH(QString, variable);
        QFETCH(bool, accepted);
        QFETCH(QString, shown);
        qputenv("ORVANTA_PORTAL_URL", variable.toUtf8());
        QString problem;
        QCOMPARE(portal::initFromEnvironment(&problem), accepted);
        if (!accepted) {
            QVERIFY(problem.contains(variable) && problem.contains("程序无法启动"));
            return;
        }
        brickvane::GameWindow game;
        brickvane::GameAboutBox about(game);
        QCOMPARE(about.Label3->text(), shown);
        QVERIFY(brickvane::texts::game_window::Welcome().contains("\r\n\r\n" + shown + "\r\n"));
    }
};

QTEST_MAIN(TestGamePortal)
#include "test_game_portal.moc"

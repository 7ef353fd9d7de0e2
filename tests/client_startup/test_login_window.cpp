#include "AppInfo.h"
#include "FrmLogin.h"
#include "Module1.h"
#include "Portal.h"
#include "Seams.h"
#include "Twips.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <deque>

namespace {

// The login window's page comes from the web engine module beside the test.
QWebEngineView* viewOf(const frmLogin& login) {
    return qobject_cast<QWebEngineView*>(login.WebBrowser1.widget);
}

constexpr int Patience = 20000; // ms; web engines start slowly on a loaded machine

struct Started {
    QString program;
    QStringList arguments;
};

QVariant runScript(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    // An invalid result fails the caller's comparison.
    if (!QTest::qWaitFor([&] { return done; }, Patience))
        qWarning("script did not answer: %s", qPrintable(script));
    return result;
}

} // namespace

class TestLoginWindow : public QObject {
    Q_OBJECT

    std::vector<seams::Message> asked;
    std::deque<seams::Answer> answers;
    std::vector<Started> started;
    bool starterSucceeds = true;
    bool lineUp = false;
    int lineChecks = 0;

    seams::MessageHandler previousHandler;
    seams::ProgramStarter previousStarter;
    Module1::ConnectionTest previousTest;

private slots:
    void init() {
        asked.clear();
        answers.clear();
        started.clear();
        starterSucceeds = true;
        lineUp = false;
        lineChecks = 0;
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        previousHandler = seams::setMessageHandler([this](const seams::Message& m) {
            asked.push_back(m);
            if (answers.empty())
                return seams::Answer::Ok;
            const seams::Answer a = answers.front();
            answers.pop_front();
            return a;
        });
        previousStarter =
            seams::setProgramStarter([this](const QString& program, const QStringList& args) {
                started.push_back({program, args});
                return starterSucceeds;
            });
        previousTest = Module1::SetConnectionTest([this] {
            ++lineChecks;
            return lineUp;
        });
    }
    void cleanup() {
        seams::setMessageHandler(previousHandler);
        seams::setProgramStarter(previousStarter);
        Module1::SetConnectionTest(previousTest);
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }

    void windowLooksAsDesigned() {
        frmLogin login;
        QCOMPARE(login.windowTitle(), QStringLiteral("Velantrix产业信息化研究办公室"));
        QCOMPARE(login.size(), twips::size(8040, 4335));
        QCOMPARE(login.minimumSize(), login.maximumSize());
        QVERIFY(!(login.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(login.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(login.WebBrowser1.widget->geometry(), twips::rect(0, 0, 8040, 4335));
        QCOMPARE(login.CmdLogin->text(), QStringLiteral("登陆协作网"));
        QCOMPARE(login.CmdLogin->geometry(), twips::rect(3000, 3240, 1215, 495));
        // The button sits above the page, not under it.
        QCOMPARE(login.childAt(login.CmdLogin->geometry().center()), login.CmdLogin);
    }

    void showsTheLocalWelcomePage() {
        frmLogin login;
        QWebEngineView* view = viewOf(login);
        QVERIFY(view);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Patience);
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(view->url(),
                 QUrl::fromLocalFile(app::programFolder() + QStringLiteral("/velantrix.htm")));

        QWebEnginePage* page = view->page();
        QCOMPARE(runScript(page, QStringLiteral("document.characterSet")).toString(),
                 QStringLiteral("UTF-8"));
        QVERIFY(runScript(page, QStringLiteral("document.body.innerText"))
                    .toString()
                    .contains(QStringLiteral("欢迎使用Orvanta同行协作办公信息系统")));
        // Nothing is fetched from outside the file itself.
        QCOMPARE(runScript(page, QStringLiteral("performance.getEntriesByType('resource').length"))
                     .toInt(),
                 0);
        QCOMPARE(runScript(page, QStringLiteral("document.querySelectorAll('[src], link').length"))
                     .toInt(),
                 0);
        // Its form posts to the portal's login page.
        QCOMPARE(
            runScript(page, QStringLiteral("document.forms[0].getAttribute('action')")).toString(),
            QStringLiteral(PORTAL_BASE_URL) + QStringLiteral("market/login1.asp"));
    }

    void withTheLineUpNothingIsAskedAndCmdLoginHides() {
        lineUp = true;
        QPointer<frmLogin> login = new frmLogin;
        login->show();
        QTRY_COMPARE_WITH_TIMEOUT(lineChecks, 1, Patience);
        QTest::qWait(50);
        QVERIFY(asked.empty());
        QVERIFY(login->isVisible());

        QTest::mouseClick(login->CmdLogin, Qt::LeftButton);
        QVERIFY(!login->isVisible());
        QTest::qWait(50);
        QVERIFY2(login, "CmdLogin hides the window; it stays loaded");
        delete login;
    }

    void withTheLineDownTheQuestionIsAskedAndTheWindowUnloads_data() {
        QTest::addColumn<seams::Answer>("answer");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("startWorks");
        QTest::newRow("no") << seams::Answer::No << false << true;
        QTest::newRow("yes") << seams::Answer::Yes << true << true;
        QTest::newRow("yes, dialler missing") << seams::Answer::Yes << true << false;
    }
    void withTheLineDownTheQuestionIsAskedAndTheWindowUnloads() {
        QFETCH(seams::Answer, answer);
        QFETCH(bool, starts);
        QFETCH(bool, startWorks);
        answers = {answer};
        starterSucceeds = startWorks;

        QPointer<frmLogin> login = new frmLogin;
        login->show();
        QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), Patience);

        QVERIFY(!asked.empty());
        const seams::Message& question = asked.front();
        QCOMPARE(question.text,
                 QStringLiteral("正在与www.velantrix.com服务器握手......\n\r\n\r"
                                "╳,你还没有连接到网上，请先连到网上再试！现在连接(Y/N)"));
        QCOMPARE(question.buttons, seams::Buttons::YesNo);
        QCOMPARE(question.icon, seams::Icon::None);
        QVERIFY(question.title.isEmpty()); // the application title

        QCOMPARE(started.size(), std::size_t(starts ? 1 : 0));
        if (starts) {
            QCOMPARE(started.front().program, QStringLiteral("nm-connection-editor"));
            QVERIFY(started.front().arguments.isEmpty());
        }
        QCOMPARE(asked.size(), std::size_t(starts && !startWorks ? 2 : 1));
        if (starts && !startWorks) {
            QCOMPARE(asked.back().text, QStringLiteral("无法启动：nm-connection-editor"));
            QCOMPARE(asked.back().icon, seams::Icon::Exclamation);
        }
    }

    void theLineIsCheckedOncePerShowing() {
        lineUp = true;
        frmLogin login;
        QWidget other;
        login.show();
        QTRY_COMPARE_WITH_TIMEOUT(lineChecks, 1, Patience);

        // Losing and regaining the focus is not a new showing.
        other.show();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), Patience);
        login.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(login.isActiveWindow(), Patience);
        QTest::qWait(100);
        QCOMPARE(lineChecks, 1);

        login.hide();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), Patience);
        login.show();
        login.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(lineChecks, 2, Patience);
    }

    void theLoginWindowIsShownModallyOncePerRun() {
        lineUp = true;
        QPointer<frmLogin> shown;
        QTimer pressLogin;
        connect(&pressLogin, &QTimer::timeout, this, [&] {
            auto* login = qobject_cast<frmLogin*>(QApplication::activeModalWidget());
            if (login && lineChecks > 0) {
                shown = login;
                login->CmdLogin->click();
            }
        });
        pressLogin.start(50);
        QTimer giveUp;
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->hide();
        });
        giveUp.start(Patience);

        QWidget owner;
        showLoginWindowOnce(&owner);
        QVERIFY2(shown, "the login window came up modally and was closed by CmdLogin");
        QCOMPARE(shown->parentWidget(), &owner);
        QCOMPARE(lineChecks, 1);

        showLoginWindowOnce(&owner);
        QCOMPARE(lineChecks, 1);
        pressLogin.stop();
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestLoginWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_login_window.moc"

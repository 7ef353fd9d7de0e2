#include "FakeRegistry.h"
#include "FrmAbout.h"
#include "Portal.h"
#include "Seams.h"
#include "Twips.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int Patience = 10000;

QColor textColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

    QStringList mailedTo;
    QStringList opened;
    std::vector<seams::Message> asked;
    QStringList started;
    bool starterSucceeds = true;
    seams::MessageHandler previousHandler;
    seams::ProgramStarter previousStarter;

    AboutActions actions() {
        return {[this](const QString& a) { mailedTo << a; },
                [this](const QString& a) { opened << a; }};
    }

private slots:
    void init() {
        mailedTo.clear();
        opened.clear();
        asked.clear();
        started.clear();
        starterSucceeds = true;
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        previousHandler = seams::setMessageHandler([this](const seams::Message& m) {
            asked.push_back(m);
            return seams::Answer::Ok;
        });
        previousStarter = seams::setProgramStarter([this](const QString& p, const QStringList&) {
            started << p;
            return starterSucceeds;
        });
    }
    void cleanup() {
        seams::setMessageHandler(previousHandler);
        seams::setProgramStarter(previousStarter);
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void showsTitleVersionAndTexts() {
        frmAbout about(actions());
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Orvanta同行协作办公信息系统"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Orvanta同行协作办公信息系统"));
        QCOMPARE(about.lblVersion->text(),
                 QStringLiteral("版本 ") + QStringLiteral(PROJECT_VERSION_STRING));
        QCOMPARE(about.LabelEmail->text(), QStringLiteral("webmaster@velantrix.com"));
        QCOMPARE(textColour(about.LabelEmail), QColor(0, 0, 255));
        QCOMPARE(about.lblDescription->text(),
                 QStringLiteral("   Orvanta同行协作办公信息系统是上万家旅游企业同时使用的基本业务工"
                                "具，每天有众多的旅行社登陆或使用此系统。"));
        QCOMPARE(about.Text1->toPlainText(),
                 QStringLiteral("   想与全国的同行开展业务互助合作吗？想同时与上万同行对\n"
                                "话交流吗？想在随时随地管理旅行社的业务吗？想使用强大的\n"
                                "行业资源数据吗？赶快登陆“Velantrix在线”免费申请！\n"));
        QCOMPARE(about.Text1->parentWidget(), about.Picture1);
        QCOMPARE(about.lblDisclaimer->text(),
                 QStringLiteral("警告:此系统是“Velantrix同行协作网”配套管理客户端软件，若想使用全"
                                "部功能，请登陆https://www.velantrix.com申请协作网企业代号及权限"
                                "......"));
        QCOMPARE(textColour(about.lblDisclaimer), QColor(0, 0, 128));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("确定"));
        QVERIFY(about.cmdOK->isDefault());
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("系统信息(&S)..."));
        QCOMPARE(about.size(), twips::size(5730, 3555));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(about.Line1[1]->palette().color(QPalette::Window), QColor(128, 128, 128));
        QCOMPARE(about.Line1[0]->palette().color(QPalette::Window), QColor(255, 255, 255));
        QCOMPARE(about.Line1[0]->height(), 2);
        QCOMPARE(about.Line1[1]->height(), 1);
    }

    void linksGoThroughTheMainWindow() {
        frmAbout about(actions());
        about.show();
        QTest::mouseClick(about.LabelEmail, Qt::LeftButton);
        QCOMPARE(mailedTo, QStringList{"webmaster@velantrix.com"});
        QTest::mouseClick(about.lblDisclaimer, Qt::LeftButton);
        QCOMPARE(opened, QStringList{"https://www.velantrix.com/tonghang/reginfo.asp"});
        QTest::mouseClick(about.lblDescription, Qt::LeftButton);
        QTest::mouseClick(about.LabelEmail, Qt::RightButton);
        QCOMPARE(mailedTo.size(), 1);
        QCOMPARE(opened.size(), 1);
    }

    void systemInformation_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QStringList>("expectStarted");
        QTest::addColumn<bool>("unavailable");
        QTest::newRow("no registry entry") << false << true << QStringList{} << true;
        QTest::newRow("tool starts")
            << true << true << QStringList{"C:\\MSINFO\\msinfo32.exe"} << false;
        QTest::newRow("tool fails to start")
            << true << false << QStringList{"C:\\MSINFO\\msinfo32.exe"} << true;
    }
    void systemInformation() {
        QFETCH(bool, registered);
        QFETCH(bool, startWorks);
        QFETCH(QStringList, expectStarted);
        QFETCH(bool, unavailable);
        starterSucceeds = startWorks;
        FakeRegistry reg;
        if (registered)
            reg.set(registry::Root::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                    "PATH", {registry::TypeString, std::string("C:\\MSINFO\\msinfo32.exe") + '\0'});
        RegistryScope scope(reg);

        frmAbout about(actions());
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(started, expectStarted);
        QCOMPARE(asked.size(), std::size_t(unavailable ? 1 : 0));
        if (unavailable) {
            QCOMPARE(asked.front().text, QStringLiteral("此时系统信息不可用"));
            QCOMPARE(asked.front().buttons, seams::Buttons::Ok);
            QVERIFY(asked.front().title.isEmpty());
        }
    }

    void thisPlatformSaysSystemInformationIsUnavailable() {
#ifdef Q_OS_WIN
        QSKIP("Windows has a registry");
#endif
        frmAbout about(actions());
        about.StartSysInfo();
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked.front().text, QStringLiteral("此时系统信息不可用"));
        QVERIFY(started.isEmpty());
    }

    void showingAgainRaisesTheOpenWindow() {
        QPointer<frmAbout> first = showAboutWindow(actions());
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->isModal());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), Patience);

        QCOMPARE(showAboutWindow(actions()), first.data());
        QTRY_VERIFY_WITH_TIMEOUT(first->isActiveWindow(), Patience);
        int aboutWindows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            aboutWindows += qobject_cast<frmAbout*>(w) != nullptr;
        QCOMPARE(aboutWindows, 1);

        QTest::mouseClick(first->cmdOK, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), Patience);
        QPointer<frmAbout> second = showAboutWindow(actions());
        QVERIFY(second && second->isVisible());
    }

    void escapeUnloadsLikeOk() {
        QPointer<frmAbout> about = showAboutWindow(actions());
        QTRY_VERIFY_WITH_TIMEOUT(about->isActiveWindow(), Patience);
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(about.isNull(), Patience);
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"

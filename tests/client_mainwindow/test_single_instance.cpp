// The single-instance rule across real processes: a second copy is refused
// while the first runs, and a copy that crashed does not keep the next one
// out. The test runs itself as each copy: the main window with the real rule
// and blank panes, saying on standard output what it was told and whether it
// loaded.

#include "FrmMain.h"
#include "Seams.h"
#include "SingleInstance.h"
#include "WebEngineModule.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int Patience = 60000;

int runCopy(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    seams::setMessageHandler([](const seams::Message& m) {
        std::printf("message %s\n", qPrintable(m.text));
        return seams::Answer::Ok;
    });
    seams::setEndProgram([] {
        std::printf("ended\n");
        QCoreApplication::exit(3);
    });
    SingleInstance instance(SingleInstance::lockPathFor(QStringLiteral("Orvanta")));
    FrmMain::Services services;
    services.makePane = makeBlankPane;
    services.anotherCopyRunning = [&] { return instance.anotherCopyRunning(); };
    FrmMain window(std::move(services));
    QTimer::singleShot(0, &window, [&] {
        if (window.Form_Load())
            std::printf("loaded\n");
    });
    return QApplication::exec();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;

    // Starts a copy and returns all it said until it loaded or ended.
    QString start(QProcess& copy) {
        copy.setEnvironment(QProcess::systemEnvironment() << "XDG_RUNTIME_DIR=" + runtime.path());
        copy.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--copy")});
        QString said;
        while (!said.contains(QStringLiteral("loaded\n")) && copy.waitForReadyRead(Patience))
            said += QString::fromUtf8(copy.readAllStandardOutput());
        return said + QString::fromUtf8(copy.readAllStandardOutput());
    }

private slots:
    void initTestCase() {
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondCopyIsRefusedAndFirstKeepsRunning() {
        QProcess first, second;
        QCOMPARE(start(first), QStringLiteral("loaded\n"));
        QCOMPARE(start(second), "message Orvanta同行协作办公信息系统已经在运行中！\nended\n");
        QVERIFY(second.waitForFinished(Patience));
        QCOMPARE(second.exitCode(), 3);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        QVERIFY(first.waitForFinished(Patience));
    }

    void crashedCopyLeavesAStaleLockThatIsTakenOver() {
        QProcess crashed, next;
        QCOMPARE(start(crashed), QStringLiteral("loaded\n"));
        crashed.kill(); // SIGKILL: no chance to remove its lock
        QVERIFY(crashed.waitForFinished(Patience));
        QVERIFY(QFileInfo::exists(runtime.filePath(QStringLiteral("Orvanta.lock"))));
        QCOMPARE(start(next), QStringLiteral("loaded\n"));
        next.kill();
        QVERIFY(next.waitForFinished(Patience));
    }

    // A lock that cannot be used never keeps the program from running.
    void anUnusableLockLetsTheProgramRun() {
        for (const QString& path : {QString(), runtime.filePath(QStringLiteral("missing/x.lock"))})
            QVERIFY(!SingleInstance(path).anotherCopyRunning());
    }
};

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], "--copy") == 0)
        return runCopy(argc, argv);
    QApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_single_instance.moc"

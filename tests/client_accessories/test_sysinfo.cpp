#include "FakeRegistry.h"
#include "SysInfo.h"

#include <QTest>

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr auto Machine = registry::Root::LocalMachine;

std::string withZero(const std::string& text) {
    return text + '\0';
}

} // namespace

Q_DECLARE_METATYPE(std::string)

class TestSysInfo : public QObject {
    Q_OBJECT
private slots:
    void valuesReadAsText_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::newRow("string with its zero")
            << 1u << withZero("C:\\MSINFO32.EXE") << true << "C:\\MSINFO32.EXE";
        QTest::newRow("string without zero")
            << 1u << std::string("C:\\TOOLS") << true << "C:\\TOOLS";
        QTest::newRow("1024 bytes fit")
            << 1u << withZero(std::string(1023, 'x')) << true << QString(1023, QLatin1Char('x'));
        QTest::newRow("1025 bytes do not")
            << 1u << withZero(std::string(1024, 'x')) << false << QString();
        QTest::newRow("double word") << 4u << std::string("\x2a\x01\0\0", 4) << true << "12A";
        QTest::newRow("binary") << 3u << std::string("\x01\x02", 2) << true << QString();
    }
    void valuesReadAsText() {
        QFETCH(uint, type);
        QFETCH(std::string, stored);
        QFETCH(bool, found);
        QFETCH(QString, text);
        FakeRegistry reg;
        reg.set(Machine, ToolKey, "PATH", {type, stored});
        RegistryScope scope(reg);

        QString out = QStringLiteral("left over");
        QCOMPARE(sysinfo::GetKeyValue(Machine, QString::fromStdString(ToolKey),
                                      QStringLiteral("PATH"), out),
                 found);
        QCOMPARE(out, text);
        QCOMPARE(reg.openCount, 1);
        QCOMPARE(reg.closeCount, 1);
        // Read access is all it takes; full access fails for ordinary users.
        QCOMPARE(reg.accesses, std::vector<std::uint32_t>{registry::ReadAccess});
    }

    void missingKeysAndValuesAreNotFound() {
        FakeRegistry reg;
        reg.addKey(Machine, ToolKey);
        RegistryScope scope(reg);
        QString out = QStringLiteral("left over");
        QVERIFY(!sysinfo::GetKeyValue(Machine, QString::fromStdString(ToolKey),
                                      QStringLiteral("PATH"), out));
        QCOMPARE(out, QString());
        out = QStringLiteral("left over");
        QVERIFY(!sysinfo::GetKeyValue(Machine, QStringLiteral("SOFTWARE\\Nowhere"),
                                      QStringLiteral("PATH"), out));
        QCOMPARE(out, QString());
        QCOMPARE(reg.closeCount, reg.openCount); // only the opened key is closed
    }

    void theToolIsFoundFirstByItsPathThenInItsFolder_data() {
        QTest::addColumn<bool>("pathEntry");
        QTest::addColumn<bool>("folderEntry");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("keysOpened");
        QTest::newRow("path entry") << true << true << true << "C:\\MSINFO\\msinfo32.exe" << 1;
        QTest::newRow("folder entry") << false << true << true << "C:\\Shared\\MSINFO32.EXE" << 2;
        QTest::newRow("folder without the file") << false << true << false << QString() << 2;
        QTest::newRow("neither") << false << false << true << QString() << 2;
    }
    void theToolIsFoundFirstByItsPathThenInItsFolder() {
        QFETCH(bool, pathEntry);
        QFETCH(bool, folderEntry);
        QFETCH(bool, fileThere);
        QFETCH(QString, program);
        QFETCH(int, keysOpened);
        FakeRegistry reg;
        if (pathEntry)
            reg.set(Machine, ToolKey, "PATH", {1, withZero("C:\\MSINFO\\msinfo32.exe")});
        if (folderEntry)
            reg.set(Machine, FolderKey, "MSINFO", {1, withZero("C:\\Shared")});
        RegistryScope scope(reg);
        QStringList looked;
        const QString found = sysinfo::SysInfoProgram([&](const QString& path) {
            looked << path;
            return fileThere;
        });
        QCOMPARE(found, program);
        QCOMPARE(int(reg.opened.size()), keysOpened);
        QCOMPARE(looked, folderEntry && !pathEntry ? QStringList{"C:\\Shared\\MSINFO32.EXE"}
                                                   : QStringList{});
    }

    void thisPlatformHasNoTool() {
#ifdef Q_OS_WIN
        QSKIP("Windows has a registry");
#endif
        // No registry here: the tool is never found.
        QCOMPARE(sysinfo::SysInfoProgram([](const QString&) { return true; }), QString());
    }
};

QTEST_APPLESS_MAIN(TestSysInfo)
#include "test_sysinfo.moc"

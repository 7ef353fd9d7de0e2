// The dial-up check, the registry readers and the calendar's month grids over
// fakes, and the shortcut module with the desktop-entry backend writing into
// a temporary home.

#include "CalendarMonth.h"
#include "ConnectionCheck.h"
#include "DialUp.h"
#include "FakeRegistry.h"
#include "Shortcuts.h"
#include "SysInfo.h"

#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace std::string_literals;
using Connections = std::vector<std::pair<std::uint64_t, std::uint32_t>>; // handle, state
using Seen = std::vector<std::uint64_t>;
constexpr auto Machine = registry::Root::LocalMachine;
const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

// The narrow records of a 32-bit process, and of a 64-bit one built with
// mingw-w64 (4-byte packing, an 8-byte handle at offset 4).
constexpr dialup::RecordLayout Records32{412, 4, 4, 160, 4}, Records64{708, 4, 8, 288, 4};

void putLittleEndian(unsigned char* at, std::uint64_t value, std::uint32_t bytes) {
    for (std::uint32_t i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Answers like the remote-access service: one record per connection, and the
// status call fails for a handle it does not know.
struct FakeRas : dialup::RasCalls {
    FakeRas(dialup::RecordLayout l, Connections c, std::uint32_t result)
        : layout(l), connections(std::move(c)), enumResult(result) {}
    const dialup::RecordLayout layout;
    const Connections connections;
    const std::uint32_t enumResult;
    Seen seen; // buffer and record sizes, then status record size and connection

    static std::uint32_t word(const unsigned char* p) {
        return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
    }
    std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                  std::uint32_t* count) override {
        seen = {*bufferSize, word(records)};
        for (std::size_t i = 0; i < connections.size(); ++i)
            putLittleEndian(records + i * layout.connectionSize + layout.handleOffset,
                            connections[i].first, layout.handleSize);
        *count = std::uint32_t(connections.size());
        return enumResult;
    }
    std::uint32_t getConnectStatus(std::uint64_t connection, unsigned char* status) override {
        seen.insert(seen.end(), {word(status), connection});
        for (const auto& [handle, state] : connections)
            if (handle == connection)
                return putLittleEndian(status + layout.stateOffset, state, 4), 0;
        return 6; // an unknown handle
    }
};

// Stands in for NetworkManager: its overall state, read through the bus's
// properties interface.
class FakeNetworkManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
    Q_PROPERTY(uint State READ state)
public:
    uint state() const { return value; }
    std::atomic<uint> value = 0;
};

class TestStartupLogic : public QObject {
    Q_OBJECT
private slots:
    // Where NetworkManager runs, its word decides, whatever the interfaces say.
    // Asked over a private bus standing in for the system bus, and first, since
    // the program's connection to that bus is made once.
    void networkManagerDecidesWhereItRuns() {
        QProcess daemon;
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(daemon.waitForReadyRead(10000));
        const QString address = QString::fromLatin1(daemon.readLine().trimmed());
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toLatin1());
        // On a thread of its own, so that it answers while the check waits.
        QThread thread;
        FakeNetworkManager manager;
        manager.moveToThread(&thread);
        thread.start();
        const auto stop = qScopeGuard([&] {
            QDBusConnection::disconnectFromBus("fake");
            thread.quit();
            thread.wait();
            daemon.kill();
            daemon.waitForFinished();
        });
        QDBusConnection bus = QDBusConnection::connectToBus(address, "fake");
        QVERIFY(bus.registerService("org.freedesktop.NetworkManager") &&
                bus.registerObject("/org/freedesktop/NetworkManager", &manager,
                                   QDBusConnection::ExportAllProperties));
        for (const auto& [state, connected] : {std::pair{20u, false}, {70u, true}}) {
            manager.value = state;
            QCOMPARE(dialup::platformIsConnected(), connected);
        }
    }

    void theLineIsJudgedAndDialledAsDesigned() {
        // A 64-bit handle whose low half alone names nothing.
        const std::uint64_t wide = 0x00007FF600000051, other = 0x00007FF600000052;
        const std::tuple<dialup::RecordLayout, Connections, std::uint32_t, bool> cases[] = {
            {Records32, {}, 0, false},
            {Records32, {{0x51, 0x2000}}, 0, true},
            {Records32, {{0x51, 0x2001}}, 0, false}, // any state but connected
            {Records32, {{0x51, 0x0004}, {0x52, 0x2000}}, 0, false},
            {Records32, {{0x51, 0x2000}, {0x52, 0x0004}}, 0, true},
            {Records32, {{0x51, 0x2000}}, 603, false}, // the enumeration fails
            {Records64, {{wide, 0x2000}}, 0, true},
            {Records64, {{0x51, 0x2000}, {wide, 0x0004}}, 0, true},
            {Records64, {{wide, 0x0004}, {other, 0x2000}}, 0, false},
            {Records64, {{wide, 0x2000}}, 632, false}}; // 632: a size the service refuses
        for (const auto& [layout, connections, enumResult, connected] : cases) {
            FakeRas ras(layout, connections, enumResult);
            QCOMPARE(dialup::firstConnectionIsUp(ras, layout), connected);
            // 256 records; only the first connection's status is asked for.
            const std::uint64_t records = layout.connectionSize;
            QCOMPARE(ras.seen, (enumResult ? Seen{records * 256, records}
                                           : Seen{records * 256, records, layout.statusSize,
                                                  connections.empty() ? 0 : connections[0].first}));
        }

        // With no remote-access line up, the network stands in for it: up,
        // running, not loopback and addressed; each of the others lacks one of
        // these.
        using R = dialup::Reachability;
        const dialup::InterfaceFacts ethernet{true, true, false, true},
            loopback{true, true, true, true}, down{false, true, false, true},
            stopped{true, false, false, true}, unaddressed{true, true, false, false};
        const std::tuple<R, std::vector<dialup::InterfaceFacts>, bool> network[] = {
            {R::Online, {}, true},
            {R::Site, {ethernet}, false},
            {R::Unknown, {ethernet}, true},
            {R::NoBackend, {loopback, ethernet}, true},
            {R::NoBackend, {loopback, down, stopped, unaddressed}, false}};
        for (const auto& [reachability, interfaces, connected] : network)
            QCOMPARE(dialup::networkCountsAsConnected(reachability, interfaces), connected);

        // A network list manager's flags: only internet connectivity counts by
        // itself.
        const std::pair<std::uint32_t, R> flags[] = {
            {0x0, R::Disconnected}, {0x1, R::Unknown}, {0x3, R::Unknown},        {0x10, R::Local},
            {0x100, R::Local},      {0x20, R::Site},   {0x211, R::Site},         {0x40, R::Online},
            {0x400, R::Online},     {0x41, R::Online}, {0x20 | 0x400, R::Online}};
        for (const auto& [flag, reachability] : flags)
            QCOMPARE(dialup::reachabilityOfConnectivity(flag), reachability);
        // NetworkManager's states (NMState): asleep or connecting tells nothing yet.
        const std::pair<std::uint32_t, R> states[] = {
            {0, R::Unknown},  {10, R::Unknown}, {20, R::Disconnected}, {30, R::Disconnected},
            {40, R::Unknown}, {50, R::Local},   {60, R::Site},         {70, R::Online}};
        for (const auto& [state, reachability] : states)
            QCOMPARE(dialup::reachabilityOfManagerState(state), reachability);

        // Without a default connection, no empty name goes on the command
        // line (the window test dials a named one).
        QCOMPARE(connection::DiallerCommands(connection::DiallerKind::RemoteAccess, ""),
                 QList<QStringList>({{"rundll", "rnaui.dll,RnaDial"}, {"rasphone"}}));
    }

    // Each reader asks for no more access than it needs, fits the value in
    // its own buffer or gives nothing, and closes the key.
    void registryValuesFitTheBufferOrGiveNothing() {
        const std::tuple<const char*, std::string, QString> cases[] = {
            {"Default", "MyISP\0"s, "MyISP"},
            {"Default", std::string(254, 'a') + '\0', QString(254, 'a')}, // 255 bytes fit
            {"Default", std::string(255, 'a') + '\0', ""},
            {"Default", "", ""},           // stored length 0
            {"Default", "MyISP", "MyISP"}, // stored without its zero
            {"Other", "MyISP", ""},
            {nullptr, "", ""}}; // no key
        for (const auto& [name, stored, expected] : cases) {
            FakeRegistry reg;
            if (name)
                reg.keys[{registry::Root::CurrentUser, "RemoteAccess"}][name] = {1, stored};
            QCOMPARE(connection::GetDefaultConnection(), expected);
            QVERIFY(reg.accesses == std::vector{registry::QueryValueAccess} && reg.open == 0);
        }

        const std::tuple<std::uint32_t, std::string, bool, QString> tool[] = {
            {1, "C:\\MSINFO32.EXE\0"s, true, "C:\\MSINFO32.EXE"},
            {1, std::string(1023, 'x') + '\0', true, QString(1023, 'x')}, // 1024 bytes fit
            {1, std::string(1024, 'x') + '\0', false, ""},
            {4, "\x2a\x01\0\0"s, true, "12A"}, // a double word reads as hexadecimal
            {3, "\x01\x02", true, ""}};        // binary
        for (const auto& [type, stored, found, text] : tool) {
            FakeRegistry reg;
            reg.keys[{Machine, ToolKey}]["PATH"] = {type, stored};
            QString out = "left over";
            QCOMPARE(sysinfo::GetKeyValue(Machine, ToolKey.c_str(), "PATH", out), found);
            QCOMPARE(out, text);
            // Read access is all it takes; full access fails for ordinary users.
            QVERIFY(reg.accesses == std::vector{registry::ReadAccess} && reg.open == 0);
        }
        // This platform has no registry at all.
        QCOMPARE(connection::GetDefaultConnection(), QString());

        // The system information tool is found by its path, then in its folder.
        const QString inFolder = "C:\\Shared\\MSINFO32.EXE";
        // path entry, folder entry, file there -> program, files looked for
        const std::tuple<bool, bool, bool, QString, QStringList> lookups[] = {
            {true, true, true, "C:\\MSINFO\\msinfo32.exe", {}},
            {false, true, true, inFolder, {inFolder}},
            {false, true, false, "", {inFolder}},
            {false, false, true, "", {}}};
        for (const auto& [pathEntry, folderEntry, fileThere, program, looked] : lookups) {
            FakeRegistry reg;
            if (pathEntry)
                reg.keys[{Machine, ToolKey}]["PATH"] = {1, "C:\\MSINFO\\msinfo32.exe\0"s};
            if (folderEntry)
                reg.keys[{Machine, "SOFTWARE\\Microsoft\\Shared Tools Location"}]["MSINFO"] = {
                    1, "C:\\Shared\0"s};
            QStringList asked;
            QCOMPARE(
                sysinfo::SysInfoProgram([&](const QString& p) { return asked << p, fileThere; }),
                program);
            QCOMPARE(asked, looked);
        }
    }

    void monthGrids() {
        const QLocale english(QLocale::English, QLocale::UnitedKingdom);
        // today, month and year spins, locale -> shown date, its first cell and
        // length, month label and today's cell
        const std::tuple<QDate, int, int, QLocale, QDate, int, int, const char*, int> cases[] = {
            {{2024, 9, 10}, 0, 0, english, {2024, 9, 10}, 0, 30, "九月", 9},   // starts on Sunday
            {{2025, 3, 31}, 0, 0, english, {2025, 3, 31}, 6, 31, "三月", 36},  // Saturday, 31 days
            {{2024, 3, 31}, -1, 0, english, {2024, 2, 29}, 4, 29, "二月", -1}, // leap, day clamped
            {{2024, 1, 20}, -1, 0, english, {2023, 12, 20}, 5, 31, "十二月", -1},
            {{2024, 6, 2}, -1500, -1500, english, {399, 6, 2}, 2, 30, "六月", -1},
            {{2024, 6, 2}, -12, 1, english, {2024, 6, 2}, 6, 30, "六月", 7},
            {{2024, 3, 5}, -1, 0, QLocale(QLocale::French), {2024, 2, 5}, 4, 29, "FÉVRIER", -1},
            {{2024, 3, 5}, 0, 0, QLocale(QLocale::German), {2024, 3, 5}, 5, 31, "MÄRZ", 9}};
        for (const auto& [today, monthSpin, yearSpin, locale, shown, first, length, label,
                          todayCell] : cases) {
            const calendar::MonthView v = calendar::monthView(today, monthSpin, yearSpin, locale);
            QCOMPARE(v.shownDate, shown);
            for (int i = 0; i < calendar::CellCount; ++i)
                QCOMPARE(v.days[i], i >= first && i < first + length ? i - first + 1 : 0);
            QCOMPARE(v.caption, QString(13, ' ') + shown.toString("yyyy") + "年");
            QCOMPARE(v.monthLabel, QString(label));
            QCOMPARE(v.todayCell, todayCell);
        }
        const QStringList chinese = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                     "七月", "八月", "九月", "十月", "十一月", "十二月"};
        for (int month = 1; month <= 12; ++month)
            QCOMPARE(calendar::monthLabel(english.monthName(month)), chinese[month - 1]);
    }

    void desktopEntriesValidateAndSkipAMissingDesktop() {
        const QString exec = "Exec=\"/opt/my apps/\\\\$HOME \\\\\"x\\\\\" 100%%/";
        const std::pair<const char*, bool> homes[] = {
            {"$HOME/桌面 $desk", true}, {"$HOME/桌面 $desk", false}, {"$HOME/", false}};
        for (const auto& [named, withDesktop] : homes) {
            // A fresh home whose desktop folder, named in user-dirs.dirs, needs
            // quoting.
            const QTemporaryDir home(QDir::tempPath() + "/home with space-XXXXXX");
            const QString desktop = home.filePath("桌面 $desk"),
                          applications = home.filePath(".local/share/applications");
            QFile dirs(home.filePath(".config/user-dirs.dirs"));
            QVERIFY(QDir().mkpath(home.filePath(".config")) && dirs.open(QIODevice::WriteOnly));
            QVERIFY(!withDesktop || QDir().mkpath(desktop));
            dirs.write("XDG_DESKTOP_DIR=\"" + QByteArray(named) + "\"\n");
            dirs.close();
            qputenv("HOME", home.path().toUtf8());
            qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
            qputenv("XDG_DATA_HOME", home.filePath(".local/share").toUtf8());
            const auto links = shelllink::makePlatformShellLinks();
            QCOMPARE(shortcuts::createLinks(*links, "/opt/my apps/$HOME \"x\" 100%"), std::nullopt);
            // The next start finds them made; a desktop link that lost its run bit gets it back.
            QFile::setPermissions(desktop + "/Orvanta.desktop",
                                  QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(shortcuts::createLinks(*links, "/opt/my apps/$HOME \"x\" 100%"), std::nullopt);
            // The internet shortcut is rewritten on every start (the same length, other bytes).
            QCOMPARE(shortcuts::writeInternetShortcut(*links, "https://y.example"), withDesktop);
            QCOMPARE(shortcuts::writeInternetShortcut(*links, "https://x.example"), withDesktop);
            // The validator says nothing of any entry in the home; their lines follow.
            QProcess validate;
            validate.setProcessChannelMode(QProcess::MergedChannels);
            validate.start("sh",
                           {"-c",
                            "find \"$0\" -name '*.desktop' -exec desktop-file-validate {} + &&"
                            " find \"$0\" -name '*.desktop' -exec cat {} +",
                            home.path()});
            QVERIFY(validate.waitForFinished(30000));
            const QString out = QString::fromUtf8(validate.readAll());
            QVERIFY2(out.startsWith("[Desktop Entry]"), qPrintable(out));
            const QStringList lines = out.split('\n');
            QVERIFY(lines.contains(exec + "Orvanta\"") && lines.contains(exec + "game\""));
            // Names, menu entries, and icons by theme name: the game's for its
            // link, Orvanta's for the rest.
            QCOMPARE(QList<qsizetype>({lines.filter("Name=").size(),
                                       QDir(applications).entryList(QDir::Files).size(),
                                       lines.count("Icon=brickvane"), lines.count("Icon=orvanta")}),
                     QList<qsizetype>({withDesktop ? 5 : 3, 3, 1, withDesktop ? 4 : 2}));
            QVERIFY(!withDesktop ||
                    (lines.contains("Name=Velantrix在线同行协作") &&
                     lines.contains("URL=https://x.example") &&
                     QFile::permissions(desktop + "/Orvanta.desktop") & QFile::ExeOwner));
        }

        // A file where the menu folder must go, then a folder where a link
        // must: the message names the place and gives the system's reason, in
        // Chinese with the system's own words after it.
        const QTemporaryDir home;
        const QString share = home.filePath("share"), applications = share + "/applications";
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", share.toUtf8());
        QFile blocking(share);
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        const auto links = shelllink::makePlatformShellLinks();
        const auto said = [&] { return shortcuts::createLinks(*links, "/opt/o").value_or(""); };
        QString refused = said();
        QVERIFY2(refused.startsWith("无法创建文件夹“" + applications + "”：找不到文件或文件夹（") &&
                     refused.endsWith("）"),
                 qPrintable(refused));
        QVERIFY(blocking.remove() && said().isEmpty());
        const QString link = applications + '/' + QDir(applications).entryList(QDir::Files)[0];
        QVERIFY(QFile::remove(link) && QDir().mkdir(link));
        refused = said();
        QVERIFY2(refused.startsWith("无法创建快捷方式“" + link + "”：这是一个文件夹（") &&
                     refused.endsWith("）"),
                 qPrintable(refused));
    }
};

QTEST_GUILESS_MAIN(TestStartupLogic)
#include "test_startup_logic.moc"

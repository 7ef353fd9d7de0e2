// The dial-up check, the registry reader and the shortcut module over fakes,
// and the desktop-entry backend writing into a temporary home.

#include "ConnectionCheck.h"
#include "DialUp.h"
#include "FakeRegistry.h"
#include "Shortcuts.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstring>

using Connections = std::vector<std::pair<std::uint64_t, std::uint32_t>>; // handle, state
using Seen = std::vector<std::uint64_t>;

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
        const auto found = std::find_if(connections.begin(), connections.end(),
                                        [&](const auto& c) { return c.first == connection; });
        if (found != connections.end())
            putLittleEndian(status + layout.stateOffset, found->second, 4);
        return found == connections.end() ? 6 : 0; // 6: an unknown handle
    }
};

// A shell-link backend that only records what it is asked and fails on cue.
struct RecordingLinks : shelllink::ShellLinkBackend {
    QStringList calls; // "folder|caption|target|arguments|perUser|token"
    int failAt = -1;   // the call that fails, counted from 0
    std::string failure;

    shelllink::Outcome createLink(const std::string& folder, const std::string& caption,
                                  const std::string& target, const std::string& arguments,
                                  bool perUser, std::string& parentToken) override {
        calls << QString::fromStdString(folder + '|' + caption + '|' + target + '|' + arguments +
                                        (perUser ? "|1|" : "|0|") + parentToken);
        const bool fails = calls.size() - 1 == failAt;
        return {!fails, fails ? failure : ""};
    }
    bool writeInternetShortcut(const std::string&, const std::string&) override { return false; }
};

class TestStartupLogic : public QObject {
    Q_OBJECT

    // The entry's lines once desktop-file-validate passed it without a word.
    static QStringList validEntry(const QString& path) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("desktop-file-validate", {path});
        QFile f(path);
        const bool clean = p.waitForFinished(30000) && p.exitCode() == 0 && p.readAll().isEmpty();
        return clean && f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n')
                                                    : QStringList{"not valid: " + path};
    }

private slots:
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
            {Records64, {}, 0, false},
            {Records64, {{wide, 0x2000}}, 0, true},
            {Records64, {{0x51, 0x2000}, {wide, 0x0004}}, 0, true},
            {Records64, {{wide, 0x0004}, {other, 0x2000}}, 0, false},
            {Records64, {{wide, 0x2000}}, 632, false}}; // 632: a size the service refuses
        for (const auto& [layout, connections, enumResult, connected] : cases) {
            FakeRas ras(layout, connections, enumResult);
            QCOMPARE(dialup::firstConnectionIsUp(ras, layout), connected);
            // 256 records; only the first connection's status is asked for.
            const std::uint64_t first = connections.empty() ? 0 : connections[0].first,
                                records = layout.connectionSize;
            QCOMPARE(ras.seen,
                     (enumResult ? Seen{records * 256, records}
                                 : Seen{records * 256, records, layout.statusSize, first}));
        }

        // With no remote-access line up, the network stands in for it.
        using R = dialup::Reachability;
        // Up, running, not loopback and addressed; each of the others lacks one of these.
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

        // A network list manager's flags: only internet connectivity counts by itself.
        const std::pair<std::uint32_t, R> flags[] = {
            {0x0, R::Disconnected}, {0x1, R::Unknown}, {0x3, R::Unknown},        {0x10, R::Local},
            {0x100, R::Local},      {0x20, R::Site},   {0x211, R::Site},         {0x40, R::Online},
            {0x400, R::Online},     {0x41, R::Online}, {0x20 | 0x400, R::Online}};
        for (const auto& [flag, reachability] : flags)
            QCOMPARE(dialup::reachabilityOfConnectivity(flag), reachability);

        // The dialler opens on the default connection, if there is one; where
        // the designed one is missing, the phonebook dialog stands in.
        using connection::DiallerKind;
        const QList<QStringList> unnamed = {{"rundll", "rnaui.dll,RnaDial"}, {"rasphone"}};
        QCOMPARE(connection::DiallerCommands(DiallerKind::RemoteAccess, ""), unnamed);
        QCOMPARE(connection::DiallerCommands(DiallerKind::NetworkManager, "My ISP"),
                 QList<QStringList>{{"nm-connection-editor"}});
    }

    void registryStringsFitTheBufferOrGiveNothing() {
        const std::tuple<const char*, std::string, QString> cases[] = {
            {"Default", std::string("MyISP\0", 6), "MyISP"},
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
        // This platform has no registry at all.
        QCOMPARE(connection::GetDefaultConnection(), QString());
    }

    void linksAreMadeInOrderAndStopAtAFailure() {
        const QStringList rows = {"..\\..\\Desktop|Orvanta|/opt/o/Orvanta||1|$(Programs)",
                                  "..|Orvanta从业工具箱|/opt/o/Orvanta||1|$(Programs)",
                                  ".|Orvanta同行协作网络办公信息系统|/opt/o/Orvanta||1|$(Programs)",
                                  ".|Brickvane游戏|/opt/o/game||1|$(Programs)"};
        const std::tuple<int, std::string, std::optional<QString>> cases[] = {
            {-1, "", std::nullopt},
            {0, "拒绝访问。", "拒绝访问。"},
            {3, "", "无法创建快捷方式“Brickvane游戏”"}}; // no words of its own
        for (const auto& [failAt, description, reported] : cases) {
            RecordingLinks links;
            links.failAt = failAt;
            links.failure = description;
            QCOMPARE(shortcuts::createLinks(links, "/opt/o"), reported);
            QCOMPARE(links.calls, rows.first(failAt < 0 ? 4 : failAt + 1));
        }
    }

    void desktopEntriesValidateAndSkipAMissingDesktop() {
        const QString exec = "Exec=\"/opt/my apps/\\\\$HOME \\\\\"x\\\\\" 100%%/";
        const std::pair<const char*, bool> homes[] = {
            {"$HOME/桌面 $desk", true}, {"$HOME/桌面 $desk", false}, {"$HOME/", false}};
        for (const auto& [named, withDesktop] : homes) {
            // A fresh home whose desktop folder, named in user-dirs.dirs, needs quoting.
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
            // The internet shortcut is rewritten on every start.
            QCOMPARE(shortcuts::writeInternetShortcut(*links, "http://old.example"), withDesktop);
            QCOMPARE(shortcuts::writeInternetShortcut(*links, "https://x.example"), withDesktop);
            QStringList lines;
            for (const QString& dir : {desktop, applications, home.path()})
                for (const QFileInfo& entry : QDir(dir).entryInfoList({"*.desktop"}, QDir::Files))
                    lines += validEntry(entry.filePath());
            QCOMPARE(lines.filter("not valid: "), QStringList());
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
    }
};

QTEST_GUILESS_MAIN(TestStartupLogic)
#include "test_startup_logic.moc"

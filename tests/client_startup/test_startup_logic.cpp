// The dial-up check, the registry reader and the shortcut module over fakes,
// and the desktop-entry backend writing into a temporary home.

#include "DialUp.h"
#include "FakeRegistry.h"
#include "Module1.h"
#include "Module2.h"
#include "Portal.h"
#include "RecordingLinks.h"
#include "Shortcuts.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using Connections = std::vector<std::pair<std::uint32_t, std::uint32_t>>; // handle, state
using Sizes = std::vector<std::uint32_t>;

// Answers like the remote-access service: one record per connection, and the
// status call fails for a handle it does not know.
struct FakeRas : dialup::RasCalls {
    Connections connections;
    std::uint32_t enumResult = 0;
    Sizes seen; // buffer and record sizes, then status record size and connection

    static std::uint32_t word(const unsigned char* p) {
        return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
    }
    std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                  std::uint32_t* count) override {
        seen = {*bufferSize, word(records)};
        for (std::size_t i = 0; i < connections.size(); ++i)
            std::memcpy(records + i * 412 + 4, &connections[i].first, 4);
        *count = std::uint32_t(connections.size());
        return enumResult;
    }
    std::uint32_t getConnectStatus(std::uint32_t connection, unsigned char* status) override {
        seen.insert(seen.end(), {word(status), connection});
        const auto found = std::find_if(connections.begin(), connections.end(),
                                        [&](const auto& c) { return c.first == connection; });
        if (found != connections.end())
            std::memcpy(status + 4, &found->second, 4);
        return found == connections.end() ? 6 : 0; // 6: an unknown handle
    }
};

class TestStartupLogic : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    QString desktop;
    QString applications;

    // A fresh home whose desktop folder, named in user-dirs.dirs, needs quoting.
    void makeHome(const QByteArray& desktopDir, bool withDesktop) {
        home = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/home with space-XXXXXX");
        const QString config = home->filePath(".config");
        desktop = home->filePath("桌面 $desk");
        applications = home->filePath(".local/share/applications");
        QVERIFY(QDir().mkpath(config) && (!withDesktop || QDir().mkpath(desktop)));
        QFile dirs(config + "/user-dirs.dirs");
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"" + desktopDir + "\"\n");
        qputenv("HOME", home->path().toUtf8());
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_DATA_HOME", home->filePath(".local/share").toUtf8());
    }
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
    void onlyTheFirstConnectionDecides() {
        const std::tuple<Connections, std::uint32_t, bool> cases[] = {
            {{}, 0, false},
            {{{0x51, 0x2000}}, 0, true},
            {{{0x51, 0x2001}}, 0, false}, // any state but connected
            {{{0x51, 0x0004}, {0x52, 0x2000}}, 0, false},
            {{{0x51, 0x2000}, {0x52, 0x0004}}, 0, true},
            {{{0x51, 0x2000}}, 603, false}}; // the enumeration fails
        for (const auto& [connections, enumResult, connected] : cases) {
            FakeRas ras;
            ras.connections = connections;
            ras.enumResult = enumResult;
            QCOMPARE(dialup::firstConnectionIsUp(ras), connected);
            // 256 records of 412 bytes; only the first connection's status is asked for.
            const std::uint32_t first = connections.empty() ? 0 : connections[0].first;
            QCOMPARE(ras.seen,
                     (enumResult ? Sizes{412 * 256, 412} : Sizes{412 * 256, 412, 160, first}));
        }
    }

    void networkStateStandsInForRemoteAccess() {
        using R = dialup::Reachability;
        const dialup::InterfaceFacts ethernet{true, true, false, true},
            loopback{true, true, true, true};
        // Each of these lacks one of the four things an interface needs.
        const std::vector<dialup::InterfaceFacts> unfit = {loopback,
                                                           {false, true, false, true},
                                                           {true, false, false, true},
                                                           {true, true, false, false}};
        const std::tuple<R, std::vector<dialup::InterfaceFacts>, bool> cases[] = {
            {R::Online, {}, true},
            {R::Site, {ethernet}, false},
            {R::Unknown, {ethernet}, true},
            {R::NoBackend, {loopback, ethernet}, true},
            {R::NoBackend, unfit, false}};
        for (const auto& [reachability, interfaces, connected] : cases)
            QCOMPARE(dialup::networkCountsAsConnected(reachability, interfaces), connected);
    }

    void registryStringsFitTheBufferOrGiveNothing() {
        using namespace std::string_literals;
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
                reg.set(registry::Root::CurrentUser, "RemoteAccess", name, stored);
            QCOMPARE(Module1::GetDefaultConnection(), expected);
            QCOMPARE(reg.accesses, Sizes{registry::QueryValueAccess});
            QCOMPARE(reg.open, 0);
        }
        // This platform has no registry at all.
        QCOMPARE(Module1::GetDefaultConnection(), QString());
    }

    void theQuestionAndTheDialler() {
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        QCOMPARE(Module1::ConnectionQuestion(),
                 QStringLiteral("正在与www.velantrix.com服务器握手......\n\r\n\r╳,"
                                "你还没有连接到网上，请先连到网上再试！现在连接(Y/N)"));
        using K = Module1::DiallerKind;
        const QStringList rna = {"rundll", "rnaui.dll,RnaDial"};
        QCOMPARE(Module1::DiallerCommand(K::RemoteAccess, "My ISP"), rna + QStringList{"My ISP"});
        QCOMPARE(Module1::DiallerCommand(K::RemoteAccess, ""), rna);
        QCOMPARE(Module1::DiallerCommand(K::NetworkManager, "x"),
                 QStringList{"nm-connection-editor"});
    }

    void stripQuotes() {
        const char* cases[][2] = {{" \"a b\" ", "a b"}, {"\" a b \"", " a b "},
                                  {"\"abc", "\"abc"},   {"\"\"abc\"\"", "\"abc\""},
                                  {"\"", "\""},         {"\tx\t", "\tx\t"},
                                  {"空房　", "空房　"}}; // ideographic space kept
        for (const auto& [text, stripped] : cases)
            QCOMPARE(Module2::StripQuotes(text), QString::fromUtf8(stripped));
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

    void desktopEntriesLandInTheirFoldersAndValidate() {
        makeHome("$HOME/桌面 $desk", true);
        const auto links = shelllink::makePlatformShellLinks();
        QCOMPARE(shortcuts::createLinks(*links, "/opt/my apps/$HOME \"x\" 100%"), std::nullopt);
        // The internet shortcut is rewritten on every start.
        QVERIFY(shortcuts::writeInternetShortcut(*links, "http://old.example"));
        QVERIFY(shortcuts::writeInternetShortcut(*links, "https://www.velantrix.com"));
        QStringList lines;
        for (const QString& dir : {desktop, applications})
            for (const QFileInfo& entry : QDir(dir).entryInfoList(QDir::Files))
                lines += validEntry(entry.filePath());
        QCOMPARE(lines.filter("not valid: "), QStringList());
        const QString exec = "Exec=\"/opt/my apps/\\\\$HOME \\\\\"x\\\\\" 100%%/";
        for (const QString& line :
             QStringList{"Name=Orvanta从业工具箱", exec + "Orvanta\"", exec + "game\"", "Type=Link",
                         "Name=Velantrix在线同行协作", "URL=https://www.velantrix.com"})
            QVERIFY2(lines.contains(line), qPrintable(line));
        QVERIFY(QFile::permissions(desktop + "/Orvanta.desktop") & QFile::ExeOwner);
        QCOMPARE(QDir(applications).entryList(QDir::Files).size(), 3);
    }

    void withoutADesktopFolderItsShortcutsAreSkippedSilently() {
        for (const QByteArray named : {"$HOME/桌面 $desk", "$HOME/"}) {
            makeHome(named, false);
            const auto links = shelllink::makePlatformShellLinks();
            QVERIFY(!shortcuts::writeInternetShortcut(*links, "https://x.example"));
            QCOMPARE(shortcuts::createLinks(*links, "/opt/o"), std::nullopt);
            QCOMPARE(QDir(applications).entryList(QDir::Files).size(), 3);
            QVERIFY(QDir(home->path()).entryList({"*.desktop"}, QDir::Files).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestStartupLogic)
#include "test_startup_logic.moc"

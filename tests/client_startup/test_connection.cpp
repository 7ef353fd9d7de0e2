#include "DialUp.h"
#include "FakeRegistry.h"
#include "Module1.h"
#include "Portal.h"

#include <QTest>

namespace {

struct Connection {
    std::uint32_t handle;
    std::uint32_t state;
};

constexpr std::uint32_t Dialling = 0x0004; // still connecting a device
constexpr std::uint32_t Disconnected = 0x2001;
constexpr std::uint32_t InvalidHandle = 6;

std::uint32_t field(const unsigned char* record, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | record[offset + i];
    return v;
}

void putField(unsigned char* record, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        record[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Answers like the remote-access service: fills one record per active
// connection and fails the status call for an unknown handle.
class FakeRas : public dialup::RasCalls {
public:
    std::vector<Connection> connections;
    std::uint32_t enumResult = 0;

    std::uint32_t seenBufferSize = 0;
    std::uint32_t seenRecordSize = 0;
    std::uint32_t seenStatusSize = 0;
    std::vector<std::uint32_t> statusAskedFor;

    std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                  std::uint32_t* count) override {
        seenBufferSize = *bufferSize;
        seenRecordSize = field(records, 0);
        if (enumResult != 0)
            return enumResult;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            unsigned char* record = records + i * dialup::ConnectionRecordSize;
            putField(record, 0, dialup::ConnectionRecordSize);
            putField(record, 4, connections[i].handle);
        }
        *count = std::uint32_t(connections.size());
        return 0;
    }

    std::uint32_t getConnectStatus(std::uint32_t connection, unsigned char* status) override {
        seenStatusSize = field(status, 0);
        statusAskedFor.push_back(connection);
        for (const Connection& c : connections) {
            if (c.handle == connection && connection != 0) {
                putField(status, 4, c.state);
                return 0;
            }
        }
        return InvalidHandle;
    }
};

std::string withZero(const std::string& text) {
    return text + '\0';
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Connection>)
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<dialup::InterfaceFacts>)
Q_DECLARE_METATYPE(dialup::Reachability)
Q_DECLARE_METATYPE(Module1::DiallerKind)

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void onlyTheFirstConnectionDecides_data() {
        QTest::addColumn<std::vector<Connection>>("connections");
        QTest::addColumn<uint>("enumResult");
        QTest::addColumn<bool>("connected");
        using V = std::vector<Connection>;
        const uint ok = 0;
        QTest::newRow("none") << V{} << ok << false;
        QTest::newRow("one connected") << V{{0x51, 0x2000}} << ok << true;
        QTest::newRow("one dialling") << V{{0x51, Dialling}} << ok << false;
        QTest::newRow("one dropped") << V{{0x51, Disconnected}} << ok << false;
        QTest::newRow("first dialling, second connected")
            << V{{0x51, Dialling}, {0x52, 0x2000}} << ok << false;
        QTest::newRow("first connected, second dialling")
            << V{{0x51, 0x2000}, {0x52, Dialling}} << ok << true;
        QTest::newRow("enumeration fails") << V{{0x51, 0x2000}} << 603u << false;
    }
    void onlyTheFirstConnectionDecides() {
        QFETCH(std::vector<Connection>, connections);
        QFETCH(uint, enumResult);
        QFETCH(bool, connected);
        FakeRas ras;
        ras.connections = connections;
        ras.enumResult = enumResult;

        QCOMPARE(dialup::firstConnectionIsUp(ras), connected);

        QCOMPARE(ras.seenBufferSize, 412u * 256u);
        QCOMPARE(ras.seenRecordSize, 412u);
        if (enumResult != 0) {
            QVERIFY(ras.statusAskedFor.empty());
            return;
        }
        QCOMPARE(ras.seenStatusSize, 160u);
        QCOMPARE(ras.statusAskedFor.size(), std::size_t(1));
        QCOMPARE(ras.statusAskedFor.front(), connections.empty() ? 0u : connections.front().handle);
    }

    void networkStateStandsInForRemoteAccess_data() {
        using dialup::Reachability;
        using I = std::vector<dialup::InterfaceFacts>;
        QTest::addColumn<Reachability>("reachability");
        QTest::addColumn<I>("interfaces");
        QTest::addColumn<bool>("connected");
        const dialup::InterfaceFacts ethernet{true, true, false, true};
        const dialup::InterfaceFacts loopback{true, true, true, true};
        const dialup::InterfaceFacts down{false, false, false, true};
        const dialup::InterfaceFacts notRunning{true, false, false, true};
        const dialup::InterfaceFacts noAddress{true, true, false, false};

        QTest::newRow("online") << Reachability::Online << I{} << true;
        QTest::newRow("site only") << Reachability::Site << I{ethernet} << false;
        QTest::newRow("local only") << Reachability::Local << I{ethernet} << false;
        QTest::newRow("disconnected") << Reachability::Disconnected << I{ethernet} << false;
        QTest::newRow("unknown, ethernet") << Reachability::Unknown << I{ethernet} << true;
        QTest::newRow("no backend, ethernet")
            << Reachability::NoBackend << I{loopback, ethernet} << true;
        QTest::newRow("no backend, loopback") << Reachability::NoBackend << I{loopback} << false;
        QTest::newRow("no backend, down") << Reachability::NoBackend << I{down} << false;
        QTest::newRow("no backend, not running")
            << Reachability::NoBackend << I{notRunning} << false;
        QTest::newRow("no backend, no address") << Reachability::NoBackend << I{noAddress} << false;
        QTest::newRow("no backend, nothing") << Reachability::NoBackend << I{} << false;
    }
    void networkStateStandsInForRemoteAccess() {
        QFETCH(dialup::Reachability, reachability);
        QFETCH(std::vector<dialup::InterfaceFacts>, interfaces);
        QFETCH(bool, connected);
        QCOMPARE(dialup::networkCountsAsConnected(reachability, interfaces), connected);
    }

    void registryStringsFitTheBufferOrGiveNothing_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name") << true << withZero("MyISP") << "MyISP";
        QTest::newRow("254 characters and zero")
            << true << withZero(std::string(254, 'a')) << QString(254, QLatin1Char('a'));
        QTest::newRow("255 characters and zero")
            << true << withZero(std::string(255, 'a')) << QString();
        QTest::newRow("stored length 0") << true << std::string() << QString();
        QTest::newRow("only the zero") << true << withZero("") << QString();
        QTest::newRow("stored without its zero") << true << std::string("MyISP") << "MyISP";
        QTest::newRow("no value") << false << std::string() << QString();
    }
    void registryStringsFitTheBufferOrGiveNothing() {
        QFETCH(bool, present);
        QFETCH(std::string, stored);
        QFETCH(QString, expected);
        FakeRegistry reg;
        reg.addKey(registry::Root::CurrentUser, "RemoteAccess");
        if (present)
            reg.set(registry::Root::CurrentUser, "RemoteAccess", "Default", {1, stored});
        RegistryScope scope(reg);

        QCOMPARE(Module1::GetDefaultConnection(), expected);

        using Key = FakeRegistry::KeyName;
        QCOMPARE(reg.opened, std::vector<Key>{Key(registry::Root::CurrentUser, "RemoteAccess")});
        QCOMPARE(reg.accesses, std::vector<std::uint32_t>{registry::QueryValueAccess});
        QCOMPARE(reg.closeCount, 1);
    }

    void aMissingKeyGivesNothingAndIsNotClosed() {
        FakeRegistry reg;
        reg.set(registry::Root::LocalMachine, "RemoteAccess", "Default", {1, withZero("MyISP")});
        RegistryScope scope(reg);
        QCOMPARE(Module1::GetDefaultConnection(), QString());
        QCOMPARE(Module1::ReadRegistryString(registry::Root::LocalMachine,
                                             QStringLiteral("RemoteAccess"),
                                             QStringLiteral("Default")),
                 QStringLiteral("MyISP"));
        QCOMPARE(reg.openCount, 1);
        QCOMPARE(reg.closeCount, 1);
    }

    void thisPlatformHasNoDefaultConnection() {
#ifdef Q_OS_WIN
        QSKIP("Windows has a registry");
#endif
        // Linux has no registry: nothing is ever found.
        QCOMPARE(Module1::GetDefaultConnection(), QString());
    }

    void theQuestionNamesThePortalAndBreaksLinesLfCr() {
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        QCOMPARE(Module1::ConnectionQuestion(),
                 QStringLiteral("正在与www.velantrix.com服务器握手......\n\r\n\r╳,"
                                "你还没有连接到网上，请先连到网上再试！现在连接(Y/N)"));
        portal::setBaseUrl(QStringLiteral("http://127.0.0.1:8123/"));
        QVERIFY(Module1::ConnectionQuestion().startsWith(QStringLiteral("正在与127.0.0.1服务器")));
    }

    void diallerCommandLines_data() {
        using Kind = Module1::DiallerKind;
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QStringList>("command");
        QTest::newRow("named") << Kind::RemoteAccess << "MyISP"
                               << QStringList{"rundll", "rnaui.dll,RnaDial", "MyISP"};
        QTest::newRow("name with blanks") << Kind::RemoteAccess << "My ISP 2"
                                          << QStringList{"rundll", "rnaui.dll,RnaDial", "My ISP 2"};
        QTest::newRow("no default")
            << Kind::RemoteAccess << QString() << QStringList{"rundll", "rnaui.dll,RnaDial"};
        QTest::newRow("network manager")
            << Kind::NetworkManager << "MyISP" << QStringList{"nm-connection-editor"};
    }
    void diallerCommandLines() {
        QFETCH(Module1::DiallerKind, kind);
        QFETCH(QString, connection);
        QFETCH(QStringList, command);
        QCOMPARE(Module1::DiallerCommand(kind, connection), command);
    }
};

QTEST_APPLESS_MAIN(TestConnection)
#include "test_connection.moc"

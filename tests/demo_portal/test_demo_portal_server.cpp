#include "DemoPortalServer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace std::chrono_literals;

namespace {

constexpr int Patience = 20000; // ms; CI machines are slow and loaded

// One client connection that collects everything the server sends until it
// closes the connection.
class Client {
public:
    explicit Client(quint16 port) {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket,
                         [this] { m_received += m_socket.readAll(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void send(const QByteArray& bytes) { m_socket.write(bytes); }
    bool waitUntilClosed() {
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        QSignalSpy closed(&m_socket, &QTcpSocket::disconnected);
        return closed.wait(Patience);
    }
    QByteArray received() const { return m_received; }
    QByteArray statusLine() const { return m_received.left(m_received.indexOf("\r\n")); }
    void abort() { m_socket.abort(); }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

QByteArray get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

} // namespace

class TestDemoPortalServer : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_server = std::make_unique<DemoPortalServer>();
        QVERIFY(m_server->listen());
        m_log = std::make_unique<QSignalSpy>(m_server.get(), &DemoPortalServer::logged);
    }
    void cleanup() {
        m_log.reset();
        m_server.reset();
    }

    void listensOnLoopbackOnly() {
        QVERIFY(m_server->port() != 0);
        QCOMPARE(m_server->address(), QStringLiteral("http://127.0.0.1:%1/").arg(m_server->port()));
        QTcpSocket other;
        other.connectToHost(QHostAddress::LocalHostIPv6, m_server->port());
        QSignalSpy failed(&other, &QTcpSocket::errorOccurred);
        QVERIFY(failed.wait(Patience));
    }

    void answersAGetAndLogsItsRawTarget() {
        Client client(m_server->port());
        client.send(get("/tonghang/allcom.asp?city=%B1%B1%BE%A9"));
        QVERIFY(client.waitUntilClosed());
        QCOMPARE(client.statusLine(), QByteArray("HTTP/1.1 200 OK"));
        QVERIFY(QString::fromUtf8(client.received()).contains(QStringLiteral("city=北京")));
        QCOMPARE(m_log->size(), 1);
        QCOMPARE(m_log->at(0).at(0).toByteArray(),
                 QByteArray("GET /tonghang/allcom.asp?city=%B1%B1%BE%A9"));
    }

    void answersAHeadWithoutBody() {
        Client client(m_server->port());
        client.send("HEAD /market/ad.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QVERIFY(client.waitUntilClosed());
        QCOMPARE(client.statusLine(), QByteArray("HTTP/1.1 200 OK"));
        QVERIFY(client.received().contains("Content-Length: "));
        QVERIFY(client.received().endsWith("\r\n\r\n"));
        QCOMPARE(m_log->at(0).at(0).toByteArray(), QByteArray("HEAD /market/ad.asp"));
    }

    void answersARequestThatTricklesIn() {
        Client client(m_server->port());
        const QByteArray request = get("/slow");
        for (qsizetype at = 0; at < request.size(); at += 7) {
            client.send(request.mid(at, 7));
            QTest::qWait(10);
        }
        QVERIFY(client.waitUntilClosed());
        QCOMPARE(client.statusLine(), QByteArray("HTTP/1.1 200 OK"));
    }

    void refusesMalformedRequestsAndKeepsServing_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QByteArray>("logged");
        const QByteArray badRequest = "HTTP/1.1 400 Bad Request";
        QTest::newRow("garbage line")
            << QByteArray("HELLO\r\n") << badRequest << QByteArray("400 Bad Request");
        QTest::newRow("binary") << QByteArray("\x00\xff\x16\x03\x01\x02\x00\x01\r\n\r\n", 12)
                                << badRequest << QByteArray("400 Bad Request");
        QTest::newRow("tls hello")
            << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11)
            << QByteArray("HTTP/1.1 408 Request Timeout") << QByteArray("408 Request Timeout");
        QTest::newRow("no host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << badRequest
                                 << QByteArray("400 Bad Request");
        QTest::newRow("post") << QByteArray("POST /login.asp HTTP/1.1\r\nHost: h\r\n\r\n")
                              << QByteArray("HTTP/1.1 405 Method Not Allowed")
                              << QByteArray("POST /login.asp");
        QTest::newRow("huge header")
            << "GET / HTTP/1.1\r\nHost: h\r\nCookie: " + QByteArray(64 * 1024, 'c')
            << QByteArray("HTTP/1.1 431 Request Header Fields Too Large")
            << QByteArray("431 Request Header Fields Too Large");
        QTest::newRow("huge target")
            << "GET /" + QByteArray(64 * 1024, 'p') << QByteArray("HTTP/1.1 414 URI Too Long")
            << QByteArray("414 URI Too Long");
    }
    void refusesMalformedRequestsAndKeepsServing() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, statusLine);
        QFETCH(QByteArray, logged);
        m_server->setClientTimeout(500ms);
        Client bad(m_server->port());
        bad.send(request);
        QVERIFY(bad.waitUntilClosed());
        QCOMPARE(bad.statusLine(), statusLine);
        QCOMPARE(m_log->size(), 1);
        QCOMPARE(m_log->at(0).at(0).toByteArray(), logged);

        Client good(m_server->port());
        good.send(get("/after"));
        QVERIFY(good.waitUntilClosed());
        QCOMPARE(good.statusLine(), QByteArray("HTTP/1.1 200 OK"));
    }

    void timesOutClientsThatDoNotFinish_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("silent") << QByteArray();
        QTest::newRow("request line only") << QByteArray("GET / HTTP/1.1\r\n");
        QTest::newRow("half a header") << QByteArray("GET / HTTP/1.1\r\nHost: 127.");
    }
    void timesOutClientsThatDoNotFinish() {
        QFETCH(QByteArray, sent);
        m_server->setClientTimeout(300ms);
        Client client(m_server->port());
        client.send(sent);
        QVERIFY(client.waitUntilClosed());
        QCOMPARE(client.statusLine(), QByteArray("HTTP/1.1 408 Request Timeout"));
        QCOMPARE(m_log->size(), 1);
    }

    void forgetsClientsThatLeaveEarly() {
        m_server->setClientTimeout(300ms);
        {
            Client leaving(m_server->port());
            leaving.send("GET /never HTTP/1.1\r\n");
            QTest::qWait(50);
            leaving.abort();
        }
        QTest::qWait(600); // past the deadline of the connection that left
        Client good(m_server->port());
        good.send(get("/after"));
        QVERIFY(good.waitUntilClosed());
        QCOMPARE(good.statusLine(), QByteArray("HTTP/1.1 200 OK"));
        QCOMPARE(m_log->last().at(0).toByteArray(), QByteArray("GET /after"));
    }

    void servesManyClientsAtOnce() {
        constexpr int count = 20;
        std::vector<std::unique_ptr<Client>> clients;
        for (int i = 0; i < count; ++i) {
            clients.push_back(std::make_unique<Client>(m_server->port()));
            clients.back()->send(get("/page" + QByteArray::number(i)));
        }
        for (auto& client : clients) {
            QVERIFY(client->waitUntilClosed());
            QCOMPARE(client->statusLine(), QByteArray("HTTP/1.1 200 OK"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_log->size(), count, Patience);
    }

    void programPrintsItsAddressFirstThenEachRequest() {
        QProcess portal;
        portal.start(QStringLiteral(DEMO_PORTAL_BINARY), {});
        QVERIFY(portal.waitForStarted(Patience));
        QVERIFY(portal.waitForReadyRead(Patience));
        const QString first = QString::fromLatin1(portal.readLine()).trimmed();
        const auto match =
            QRegularExpression(QStringLiteral("^listening http://127\\.0\\.0\\.1:(\\d+)/$"))
                .match(first);
        QVERIFY2(match.hasMatch(), qPrintable(first));

        Client client(quint16(match.captured(1).toUInt()));
        client.send(get("/from/the/test?a=%B1%B1"));
        QVERIFY(client.waitUntilClosed());
        QCOMPARE(client.statusLine(), QByteArray("HTTP/1.1 200 OK"));
        QTRY_VERIFY_WITH_TIMEOUT(portal.canReadLine() || portal.waitForReadyRead(100), Patience);
        QCOMPARE(portal.readLine(), QByteArray("GET /from/the/test?a=%B1%B1\n"));
        portal.kill();
        portal.waitForFinished(Patience);
    }

    void programListensOnTheGivenPort() {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        QProcess portal;
        portal.start(QStringLiteral(DEMO_PORTAL_BINARY), {QString::number(port)});
        QVERIFY(portal.waitForReadyRead(Patience));
        QCOMPARE(portal.readLine(),
                 QStringLiteral("listening http://127.0.0.1:%1/\n").arg(port).toLatin1());
        portal.kill();
        portal.waitForFinished(Patience);
    }

    void programRefusesABadPort_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("not a number") << QStringList{QStringLiteral("http")};
        QTest::newRow("too large") << QStringList{QStringLiteral("70000")};
        QTest::newRow("two arguments") << QStringList{QStringLiteral("1"), QStringLiteral("2")};
    }
    void programRefusesABadPort() {
        QFETCH(QStringList, arguments);
        QProcess portal;
        portal.start(QStringLiteral(DEMO_PORTAL_BINARY), arguments);
        QVERIFY(portal.waitForFinished(Patience));
        QCOMPARE(portal.exitCode(), 2);
        QVERIFY(portal.readAllStandardOutput().isEmpty());
        QVERIFY(portal.readAllStandardError().startsWith("usage: demo-portal"));
    }

private:
    std::unique_ptr<DemoPortalServer> m_server;
    std::unique_ptr<QSignalSpy> m_log;
};

QTEST_GUILESS_MAIN(TestDemoPortalServer)
#include "test_demo_portal_server.moc"

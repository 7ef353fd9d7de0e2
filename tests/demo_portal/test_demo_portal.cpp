// The demo portal: reading request heads, the pages it answers, and the
// server and program that log what the client asked for, also when clients
// crowd it, descriptors run out or nobody reads its log.

#include "DemoPortalServer.h"
#include "HttpRequest.h"
#include "PortalPage.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using http::Status;

constexpr int Patience = 20000; // ms; CI machines are slow and loaded

// Sends `request` and returns all the server answered before it closed.
QByteArray exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    (void)QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; },
                          Patience);
    return received;
}

QByteArray get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

// Clients that connect and send `request`, or nothing, each holding a
// descriptor.
auto clients(quint16 port, int count, const QByteArray& request = {}) {
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < count; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
        clients.back()->waitForConnected(Patience);
        clients.back()->write(request);
    }
    return clients;
}

class TestDemoPortal : public QObject {
    Q_OBJECT
private slots:
    // Whole, in pieces or byte by byte, a head is read, or refused at the
    // latest with the piece that shows the fault.
    void headsAreReadOrRefused() {
        const qsizetype max = http::HeadReader::MaxHeadBytes;
        const QByteArray start = "GET / HTTP/1.1\r\nHost: h\r\nX: ";
        const std::pair<QByteArray, Status> cases[] = {
            {"\r\n\nGET /q HTTP/1.0\n\nbody that is not ours\r\n\r\n", Status::Ok},
            {"HELLO THERE\r\n", Status::BadRequest},
            {"GET /\r\nHost: h\r\n\r\n", Status::BadRequest},
            {"GET / HTTP/2.0\r\nHost: h\r\n\r\n", Status::VersionNotSupported},
            {"GET http://h/ HTTP/1.1\r\nHost: h\r\n\r\n", Status::BadRequest},
            {"GET /北京 HTTP/1.1\r\nHost: h\r\n\r\n", Status::BadRequest},
            {QByteArray("GET /a\0b HTTP/1.1\r\nHost: h\r\n\r\n", 30), Status::BadRequest},
            {"GET / HTTP/1.1\r\n\r\n", Status::BadRequest}, // no host
            {"GET / HTTP/1.1\r\nHost: h\r\nHost: g\r\n\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\n more\r\n\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\nX: a\x01z\r\n\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\nX: a\rY: b\r\n\r\n", Status::BadRequest},
            {"GET /" + QByteArray(max, 'a'), Status::UriTooLong},
            {start + QByteArray(max, 'a'), Status::HeadersTooLarge},
            {start + QByteArray(max - start.size() - 3, 'a') + "\r\n\r\n", Status::HeadersTooLarge},
            {start + QByteArray(max - start.size() - 4, 'a') + "\r\n\r\n", Status::Ok}};
        for (const auto& [bytes, status] : cases) {
            for (const qsizetype size : {bytes.size(), qsizetype(7), qsizetype(1)}) {
                http::HeadReader reader;
                auto state = http::HeadReader::State::Reading;
                for (qsizetype at = 0; at < bytes.size() && state == reader.State::Reading;
                     at += size)
                    state = reader.feed(bytes.mid(at, size));
                QVERIFY2(state ==
                             (status == Status::Ok ? reader.State::Done : reader.State::Failed),
                         bytes.left(60).toPercentEncoding());
                QCOMPARE(reader.result().status, status);
            }
        }
    }

    // Each answer closes its connection and tells its body's length; a page
    // shows its path and query read as GBK, and escaped.
    void serverAnswersLogsAndKeepsServing() {
        DemoPortalServer server;
        QVERIFY(server.listen());
        server.setClientTimeout(std::chrono::milliseconds(300));
        QSignalSpy log(&server, &DemoPortalServer::logged);
        // request, status, logged line, then what the answer shows ('|' between)
        const std::tuple<QByteArray, QByteArray, QByteArray, QString> cases[] = {
            {get("/tonghang/allcom.asp?city=%B1%B1%BE%A9"), "200 OK",
             "GET /tonghang/allcom.asp?city=%B1%B1%BE%A9",
             "\"path\">/tonghang/allcom.asp</span>|\"query\">city=北京</span>"},
            {get("/%B1%B1%BE%A9/"), "200 OK", "GET /%B1%B1%BE%A9/",
             "\"path\">/北京/</span>|\"query\"></span>"},
            {get("/%3Cscript%3E?q=%3Cb%3E%26%22"), "200 OK", "GET /%3Cscript%3E?q=%3Cb%3E%26%22",
             "\"path\">/&lt;script&gt;</span>|\"query\">q=&lt;b&gt;&amp;&quot;</span>"},
            {"POST /login.asp HTTP/1.1\r\nHost: h\r\n\r\n", "405 Method Not Allowed",
             "POST /login.asp", "\r\nAllow: GET, HEAD\r\n"},
            {"HELLO\r\n", "400 Bad Request", "400 Bad Request", ""},
            {QByteArray("\x16\x03\x01\x02\x00\x01", 6), "408 Request Timeout",
             "408 Request Timeout", ""},
            {"GET / HTTP/1.1\r\nCookie: " + QByteArray(64 * 1024, 'c'),
             "431 Request Header Fields Too Large", "431 Request Header Fields Too Large", ""}};
        for (const auto& [request, status, logged, shows] : cases) {
            log.clear();
            const QByteArray answer = exchange(server.port(), request);
            const QByteArray length =
                QByteArray::number(answer.size() - answer.indexOf("\r\n\r\n") - 4);
            QVERIFY2(answer.startsWith("HTTP/1.1 " + status + "\r\n") &&
                         answer.contains("\r\nConnection: close\r\n") &&
                         answer.contains("\r\nContent-Length: " + length + "\r\n"),
                     answer.left(200));
            for (const QString& part : shows.split('|', Qt::SkipEmptyParts))
                QVERIFY2(QString::fromUtf8(answer).contains(part), qPrintable(part));
            QTRY_COMPARE_WITH_TIMEOUT(log.value(0).value(0).toByteArray(), logged, Patience);
        }
        // HEAD gets the head of GET's answer and no body.
        const QByteArray head = exchange(server.port(), get("/a?city=%B1%B1"));
        QCOMPARE(exchange(server.port(), "HEAD" + get("/a?city=%B1%B1").mid(3)),
                 head.left(head.indexOf("\r\n\r\n") + 4));

        // The page that never answers is logged, then held open in silence;
        // a client that leaves before its deadline must not trouble the server.
        log.clear();
        const auto waiting = clients(server.port(), 1, get("/never-answers.asp?n=1"));
        QTRY_COMPARE_WITH_TIMEOUT(log.value(0).value(0).toByteArray(),
                                  QByteArray("GET /never-answers.asp?n=1"), Patience);
        {
            const auto leaving = clients(server.port(), 1, "GET /never HTTP/1.1\r\n");
            QTRY_COMPARE_WITH_TIMEOUT(server.openConnections(), 2, Patience);
        }
        // Timed out after the leaving one: both deadlines have passed.
        const auto late = clients(server.port(), 1, "GET /late HTTP/1.1\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(late[0]->peek(12) == "HTTP/1.1 408", Patience);
        QCOMPARE(waiting[0]->state(), QAbstractSocket::ConnectedState);
        QCOMPARE(waiting[0]->readAll(), QByteArray());
        QVERIFY(exchange(server.port(), get("/after")).startsWith("HTTP/1.1 200 OK\r\n"));
    }

    // The fourth client waits until one of the three before it leaves.
    void clientsBeyondTheCapWaitTheirTurn() {
        DemoPortalServer server;
        server.setMaxConnections(3);
        QVERIFY(server.listen());
        auto silent = clients(server.port(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnections(), 3, Patience);
        const auto waiting = clients(server.port(), 1, get("/waiting"));
        QTest::qWait(300);
        QVERIFY(server.openConnections() == 3 && waiting[0]->bytesAvailable() == 0);
        silent[0]->abort();
        QTRY_VERIFY_WITH_TIMEOUT(waiting[0]->peek(16).startsWith("HTTP/1.1 200 OK"), Patience);
    }

    // The program, its log going to a pipe that is read only when the test
    // says so. Out of descriptors, it rests instead of retrying the accept
    // flat out, and serves again once clients leave. Then, with its log
    // unread for a while, the answers still come, and what did not fit is
    // counted once the log is read again.
    void theProgramRestsAndNeverWaitsForItsLog() {
        int log[2] = {-1, -1};
        QVERIFY(::pipe(log) == 0 && ::fcntl(log[0], F_SETFL, O_NONBLOCK) == 0);
        const auto readLog = [&] {
            QByteArray out;
            char buffer[4096];
            for (ssize_t n; (n = ::read(log[0], buffer, sizeof buffer)) > 0;)
                out.append(buffer, n);
            return out;
        };
        QProcess portal;
        portal.setChildProcessModifier([&] {
            ::dup2(log[1], STDOUT_FILENO);
            const rlimit few{32, 32};
            ::setrlimit(RLIMIT_NOFILE, &few);
        });
        portal.start(DEMO_PORTAL_BINARY, {});
        ::close(log[1]);
        QByteArray first;
        QVERIFY(QTest::qWaitFor([&] { return (first += readLog()).contains('\n'); }, Patience));
        QVERIFY2(first.startsWith("listening http://127.0.0.1:"), first);
        const quint16 port = quint16(first.mid(27, first.indexOf('/', 27) - 27).toUInt());
        const auto cpuTicks = [&] { // utime and stime, in clock ticks
            QFile stat(QStringLiteral("/proc/%1/stat").arg(portal.processId()));
            stat.open(QIODevice::ReadOnly);
            const QList<QByteArray> f = stat.readAll().split(')').value(1).split(' ');
            return f.value(12).toLong() + f.value(13).toLong();
        };

        // One answered request first: Qt's listener then holds on to the
        // "try again" of an accept that found no one, whatever fails later.
        QVERIFY(exchange(port, get("/before")).startsWith("HTTP/1.1 200 OK\r\n"));
        auto silent = clients(port, 60);
        QTest::qWait(300);
        const long before = cpuTicks();
        QTest::qWait(1000);
        QVERIFY2(cpuTicks() - before < 30, "busy while out of descriptors");
        silent.clear();
        // Served again within the listener's retry wait: the first try after
        // the flood may still be turned away on a loaded machine.
        QTRY_VERIFY_WITH_TIMEOUT(exchange(port, get("/after")).startsWith("HTTP/1.1 200 OK\r\n"),
                                 Patience);

        const QByteArray longPath = "/" + QByteArray(6000, 'p');
        for (int i = 0; i < 40; ++i) // 240 kB of log, more than pipe and buffer hold
            QVERIFY2(exchange(port, get(longPath)).startsWith("HTTP/1.1 200 OK\r\n"),
                     QByteArray::number(i));
        QByteArray read;
        for (qsizetype before = -1; before != read.size(); QTest::qWait(300)) {
            before = read.size(); // until the portal has written all it kept
            read += readLog();
        }
        QVERIFY(exchange(port, get("/last?a=%B1%B1")).startsWith("HTTP/1.1 200 OK\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT((read += readLog()).endsWith("GET /last?a=%B1%B1\n"), Patience);
        const QList<QByteArray> lines = read.split('\n');
        const QByteArray note = lines.value(lines.size() - 3); // before the last request and ""
        QVERIFY2(note.startsWith("demo-portal: ") && note.endsWith(" log lines dropped"), note);
        QCOMPARE(lines.count("GET " + longPath) + note.split(' ').value(1).toInt(), 40);
        portal.kill();
        portal.waitForFinished(Patience);
        ::close(log[0]);
    }
};
QTEST_GUILESS_MAIN(TestDemoPortal)
#include "test_demo_portal.moc"

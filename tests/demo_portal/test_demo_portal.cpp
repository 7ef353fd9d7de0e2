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

using http::HeadReader;
using http::Status;
using State = http::HeadReader::State;

namespace {

constexpr int Patience = 20000; // ms; CI machines are slow and loaded

// Sends `request` and returns all the server answered before it closed.
QByteArray exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    if (socket.state() != QAbstractSocket::UnconnectedState)
        closed.wait(Patience);
    return received;
}

QByteArray get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

http::RequestHead headFor(const QByteArray& method, const QByteArray& target) {
    return http::parseHead(method + ' ' + target + " HTTP/1.1\r\nHost: h\r\n\r\n").head;
}

QByteArray header(const QByteArray& response, const QByteArray& name) {
    const qsizetype at = response.indexOf("\r\n" + name + ": ") + name.size() + 4;
    return response.mid(at, response.indexOf('\r', at) - at);
}

QByteArray body(const QByteArray& response) {
    return response.mid(response.indexOf("\r\n\r\n") + 4);
}

// The demo portal program, its log going to a pipe that is read only when
// the test says so; `inChild` runs between fork and exec.
struct PortalProgram {
    QProcess process;
    quint16 port = 0;
    int log[2] = {-1, -1};

    bool start(const std::function<void()>& inChild = [] {}) {
        if (::pipe(log) != 0)
            return false;
        ::fcntl(log[0], F_SETFL, ::fcntl(log[0], F_GETFL) | O_NONBLOCK);
        process.setChildProcessModifier([this, inChild] {
            ::dup2(log[1], STDOUT_FILENO);
            inChild();
        });
        process.start(QStringLiteral(DEMO_PORTAL_BINARY), {});
        ::close(log[1]);
        QByteArray first;
        (void)QTest::qWaitFor([&] { return (first += readLog()).contains('\n'); }, Patience);
        port = quint16(first.mid(27, first.indexOf('/', 27) - 27).toUInt());
        return first.startsWith("listening http://127.0.0.1:") && port != 0;
    }
    ~PortalProgram() {
        process.kill();
        process.waitForFinished(Patience);
        ::close(log[0]);
    }
    QByteArray readLog() const {
        QByteArray out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(log[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, n);
        return out;
    }
    // Processor time used so far, in clock ticks.
    long cpuTicks() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QList<QByteArray> f = stat.readAll().split(')').value(1).split(' ');
        return f.value(12).toLong() + f.value(13).toLong(); // utime, stime
    }
};

// Clients that connect and send `request`, or nothing, each holding a descriptor.
std::vector<std::unique_ptr<QTcpSocket>> clients(quint16 port, int count,
                                                 const QByteArray& request = {}) {
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < count; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
        clients.back()->waitForConnected(Patience);
        clients.back()->write(request);
    }
    return clients;
}

} // namespace

class TestDemoPortal : public QObject {
    Q_OBJECT
private slots:
    void malformedHeadsAreRefused() {
        const std::pair<QByteArray, Status> cases[] = {
            {"GET /\r\nHost: h\r\n", Status::BadRequest},
            {"GET / HTTP/2.0\r\nHost: h\r\n", Status::VersionNotSupported},
            {"GET http://h/ HTTP/1.1\r\nHost: h\r\n", Status::BadRequest},
            {"GET /北京 HTTP/1.1\r\nHost: h\r\n", Status::BadRequest},
            {QByteArray("GET /a\0b HTTP/1.1\r\nHost: h\r\n", 28), Status::BadRequest},
            {"GET / HTTP/1.1\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\nHost: g\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\n more\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\nX: a\x01z\r\n", Status::BadRequest},
            {"GET / HTTP/1.1\r\nHost: h\r\nX: a\rY: b\r\n", Status::BadRequest},
        };
        for (const auto& [text, status] : cases)
            QVERIFY2(http::parseHead(text).status == status, text.toPercentEncoding());
    }

    // Whole, in pieces or byte by byte, a head is read, or refused at the latest with the
    // piece that shows the fault.
    void readerBoundsWhatItHolds() {
        const qsizetype max = HeadReader::MaxHeadBytes;
        const QByteArray start = "GET / HTTP/1.1\r\nHost: h\r\nX: ";
        const struct {
            QByteArray bytes;
            Status status;
        } cases[] = {
            {"\r\n\nGET /q HTTP/1.0\n\nbody that is not ours\r\n\r\n", Status::Ok},
            {"HELLO THERE\r\n", Status::BadRequest},
            {"GET /" + QByteArray(max, 'a'), Status::UriTooLong},
            {start + QByteArray(max, 'a'), Status::HeadersTooLarge},
            {start + QByteArray(max - start.size() - 3, 'a') + "\r\n\r\n", Status::HeadersTooLarge},
            {start + QByteArray(max - start.size() - 4, 'a') + "\r\n\r\n", Status::Ok},
        };
        for (const auto& c : cases) {
            for (const qsizetype size : {c.bytes.size(), qsizetype(7), qsizetype(1)}) {
                HeadReader reader;
                State state = State::Reading;
                for (qsizetype at = 0; at < c.bytes.size() && state == State::Reading; at += size)
                    state = reader.feed(c.bytes.mid(at, size));
                QCOMPARE(state, c.status == Status::Ok ? State::Done : State::Failed);
                QCOMPARE(reader.result().status, c.status);
            }
        }
    }

    void pageShowsPathAndQueryReadAsGbk() {
        const struct {
            QByteArray target;
            QString path, query;
        } cases[] = {
            {"/tonghang/allcom.asp?city=%B1%B1%BE%A9", "/tonghang/allcom.asp", "city=北京"},
            {"/%B1%B1%BE%A9/", "/北京/", ""},
            {"/%3Cscript%3E?q=%3Cb%3E%26%22", "/&lt;script&gt;", "q=&lt;b&gt;&amp;&quot;"},
        };
        for (const auto& c : cases) {
            const QString page = QString::fromUtf8(demoportal::pageFor(headFor("GET", c.target)));
            QVERIFY2(page.contains("\"path\">" + c.path + "</span>"), qPrintable(page));
            QVERIFY2(page.contains("\"query\">" + c.query + "</span>"), qPrintable(page));
        }
    }

    void answersCarryTheirStatusAndLength() {
        const QByteArray get = demoportal::answer(headFor("GET", "/a?city=%B1%B1"));
        QCOMPARE(header(get, "Content-Length").toLongLong(), body(get).size());
        QCOMPARE(demoportal::answer(headFor("HEAD", "/a?city=%B1%B1")),
                 get.chopped(body(get).size()));
        const QByteArray post = demoportal::answer(headFor("POST", "/login.asp"));
        QVERIFY(post.startsWith("HTTP/1.1 405 Method Not Allowed\r\n"));
        QCOMPARE(header(post, "Allow"), QByteArray("GET, HEAD"));
        const QByteArray refused = demoportal::refusal(Status::HeadersTooLarge);
        QVERIFY(refused.startsWith("HTTP/1.1 431 Request Header Fields Too Large\r\n"));
        QCOMPARE(header(refused, "Connection"), QByteArray("close"));
        QCOMPARE(header(refused, "Content-Length").toLongLong(), body(refused).size());
    }

    void serverAnswersLogsAndKeepsServing() {
        DemoPortalServer server;
        QVERIFY(server.listen());
        server.setClientTimeout(std::chrono::milliseconds(300));
        QSignalSpy log(&server, &DemoPortalServer::logged);
        const struct {
            QByteArray request, statusLine, logged;
        } cases[] = {
            {get("/a?city=%B1%B1%BE%A9"), "HTTP/1.1 200 OK", "GET /a?city=%B1%B1%BE%A9"},
            {"HELLO\r\n", "HTTP/1.1 400 Bad Request", "400 Bad Request"},
            {QByteArray("\x16\x03\x01\x02\x00\x01", 6), "HTTP/1.1 408 Request Timeout",
             "408 Request Timeout"},
            {"GET / HTTP/1.1\r\nCookie: " + QByteArray(64 * 1024, 'c'),
             "HTTP/1.1 431 Request Header Fields Too Large", "431 Request Header Fields Too Large"},
        };
        for (const auto& c : cases) {
            log.clear();
            const QByteArray received = exchange(server.port(), c.request);
            QVERIFY2(received.startsWith(c.statusLine + "\r\n"), received.left(80));
            QTRY_COMPARE_WITH_TIMEOUT(log.value(0).value(0).toByteArray(), c.logged, Patience);
        }
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
        QCOMPARE(server.openConnections(), 3);
        QVERIFY(waiting[0]->bytesAvailable() == 0);
        silent[0]->abort();
        QTRY_VERIFY_WITH_TIMEOUT(waiting[0]->peek(16).startsWith("HTTP/1.1 200 OK"), Patience);
    }

    // Out of descriptors, the portal rests instead of retrying the accept
    // flat out, and serves again once clients leave.
    void outOfDescriptorsItRestsAndRecovers() {
        PortalProgram portal;
        QVERIFY(portal.start([] {
            const rlimit few{32, 32};
            ::setrlimit(RLIMIT_NOFILE, &few);
        }));
        // One answered request first: Qt's listener then holds on to the
        // "try again" of an accept that found no one, whatever fails later.
        QVERIFY(exchange(portal.port, get("/before")).startsWith("HTTP/1.1 200 OK\r\n"));
        auto silent = clients(portal.port, 60);
        QTest::qWait(300);
        const long before = portal.cpuTicks();
        QTest::qWait(1000);
        QVERIFY2(portal.cpuTicks() - before < 30, "busy while out of descriptors");
        silent.clear();
        QVERIFY(exchange(portal.port, get("/after")).startsWith("HTTP/1.1 200 OK\r\n"));
    }

    // Its address first, then a line per request, into a pipe nobody reads
    // for a while: the answers still come, and what did not fit is counted
    // once the log is read again.
    void answersNeverWaitForAnUnreadLog() {
        PortalProgram portal;
        QVERIFY(portal.start());
        const QByteArray longPath = "/" + QByteArray(6000, 'p');
        for (int i = 0; i < 40; ++i) // 240 kB of log, more than pipe and buffer hold
            QVERIFY2(exchange(portal.port, get(longPath)).startsWith("HTTP/1.1 200 OK\r\n"),
                     QByteArray::number(i));
        QByteArray read;
        for (qsizetype before = -1; before != read.size(); QTest::qWait(300)) {
            before = read.size(); // until the portal has written all it kept
            read += portal.readLog();
        }
        QVERIFY(exchange(portal.port, get("/last?a=%B1%B1")).startsWith("HTTP/1.1 200 OK\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT((read += portal.readLog()).endsWith("GET /last?a=%B1%B1\n"),
                                 Patience);
        const QList<QByteArray> lines = read.split('\n');
        const QByteArray note = lines.value(lines.size() - 3); // before the last request and ""
        QVERIFY2(note.startsWith("demo-portal: ") && note.endsWith(" log lines dropped"), note);
        const int dropped = note.split(' ').value(1).toInt();
        QVERIFY(dropped > 0);
        QCOMPARE(lines.count("GET " + longPath) + dropped, 40);
    }
};
QTEST_GUILESS_MAIN(TestDemoPortal)
#include "test_demo_portal.moc"

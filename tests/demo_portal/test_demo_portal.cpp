// The demo portal: reading request heads, the pages it answers, and the
// server and program that log what the client asked for.

#include "DemoPortalServer.h"
#include "HttpRequest.h"
#include "PortalPage.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

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

    // Whole or in pieces, a head is read, or refused at the latest with the
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
            for (const qsizetype size : {c.bytes.size(), qsizetype(7)}) {
                HeadReader reader;
                State state = State::Reading;
                for (qsizetype at = 0; at < c.bytes.size() && state == State::Reading; at += size)
                    state = reader.feed(QByteArrayView(c.bytes).sliced(at).first(
                        std::min(size, c.bytes.size() - at)));
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
        { // the page that never answers: logged, then held open in silence
            log.clear();
            QTcpSocket waiting;
            waiting.connectToHost(QHostAddress::LocalHost, server.port());
            waiting.write(get("/never-answers.asp?n=1"));
            QTRY_COMPARE_WITH_TIMEOUT(log.value(0).value(0).toByteArray(),
                                      QByteArray("GET /never-answers.asp?n=1"), Patience);
            QTest::qWait(600); // twice the client deadline
            QCOMPARE(waiting.state(), QAbstractSocket::ConnectedState);
            QCOMPARE(waiting.readAll(), QByteArray());
        }
        { // a client that leaves before its deadline must not trouble the server
            QTcpSocket leaving;
            leaving.connectToHost(QHostAddress::LocalHost, server.port());
            leaving.write("GET /never HTTP/1.1\r\n");
            QTest::qWait(50);
        }
        QTest::qWait(600);
        QVERIFY(exchange(server.port(), get("/after")).startsWith("HTTP/1.1 200 OK\r\n"));
    }

    void programPrintsItsAddressFirstThenEachRequest() {
        QProcess portal;
        portal.start(QStringLiteral(DEMO_PORTAL_BINARY), {});
        QVERIFY(portal.waitForReadyRead(Patience));
        const QByteArray first = portal.readLine().trimmed();
        QVERIFY2(first.startsWith("listening http://127.0.0.1:"), first);
        const quint16 port = quint16(first.mid(27).chopped(1).toUInt());
        QVERIFY(exchange(port, get("/from/the/test?a=%B1%B1")).startsWith("HTTP/1.1 200 OK\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(portal.canReadLine() || portal.waitForReadyRead(100), Patience);
        QCOMPARE(portal.readLine(), QByteArray("GET /from/the/test?a=%B1%B1\n"));
        portal.kill();
        portal.waitForFinished(Patience);
    }
};
QTEST_GUILESS_MAIN(TestDemoPortal)
#include "test_demo_portal.moc"

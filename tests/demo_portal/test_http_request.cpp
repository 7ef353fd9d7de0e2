#include "HttpRequest.h"
#include "PortalPage.h"

#include <QTest>

using http::HeadReader;
using http::Status;

Q_DECLARE_METATYPE(http::Status)
Q_DECLARE_METATYPE(http::HeadReader::State)

namespace {

// Status line, headers and body of a complete response.
struct Response {
    QByteArray statusLine;
    QByteArray headers;
    QByteArray body;
};

Response split(const QByteArray& bytes) {
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const qsizetype lineEnd = bytes.indexOf("\r\n");
    return {bytes.left(lineEnd), bytes.mid(lineEnd + 2, headEnd - lineEnd), bytes.mid(headEnd + 4)};
}

QByteArray headerValue(const Response& r, const QByteArray& name) {
    for (const QByteArray& line : r.headers.split('\n')) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    }
    return {};
}

QByteArray requestFor(const QByteArray& method, const QByteArray& target) {
    return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

http::RequestHead headFor(const QByteArray& method, const QByteArray& target) {
    return http::parseHead(requestFor(method, target)).head;
}

} // namespace

class TestHttpRequest : public QObject {
    Q_OBJECT
private slots:
    void wellFormedHeadsAreRead_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("get") << QByteArray("GET /a.asp?x=1 HTTP/1.1\r\nHost: h\r\n")
                             << QByteArray("GET") << QByteArray("/a.asp?x=1");
        QTest::newRow("head") << QByteArray("HEAD / HTTP/1.1\r\nHost: h\r\nAccept: */*\r\n")
                              << QByteArray("HEAD") << QByteArray("/");
        QTest::newRow("1.0 needs no host")
            << QByteArray("GET /x HTTP/1.0\r\n") << QByteArray("GET") << QByteArray("/x");
        QTest::newRow("bare line feeds")
            << QByteArray("GET /y HTTP/1.1\nHost: h\n") << QByteArray("GET") << QByteArray("/y");
        QTest::newRow("escapes kept") << QByteArray("GET /a?type=%B3%B5 HTTP/1.1\r\nhost: h\r\n")
                                      << QByteArray("GET") << QByteArray("/a?type=%B3%B5");
        QTest::newRow("other method reaches the answer")
            << QByteArray("POST /f HTTP/1.1\r\nHost: h\r\n") << QByteArray("POST")
            << QByteArray("/f");
    }
    void wellFormedHeadsAreRead() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        const http::Parsed parsed = http::parseHead(text);
        QCOMPARE(parsed.status, Status::Ok);
        QCOMPARE(parsed.head.method, method);
        QCOMPARE(parsed.head.target, target);
    }

    void headerValuesLoseTheirSurroundingBlanks() {
        const http::Parsed parsed =
            http::parseHead("GET / HTTP/1.1\r\nHost:   h \t\r\nX-Empty:\r\nUser-Agent: a b\r\n");
        QCOMPARE(parsed.status, Status::Ok);
        using Header = QPair<QByteArray, QByteArray>;
        const QList<Header> expected{{"Host", "h"}, {"X-Empty", ""}, {"User-Agent", "a b"}};
        QCOMPARE(parsed.head.headers, expected);
    }

    void malformedHeadsAreRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Status>("status");
        const QByteArray host = "\r\nHost: h\r\n";
        QTest::newRow("empty") << QByteArray() << Status::BadRequest;
        QTest::newRow("two words") << QByteArray("GET /") + host << Status::BadRequest;
        QTest::newRow("four words") << QByteArray("GET / x HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("double space") << QByteArray("GET  / HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("method not a token")
            << QByteArray("GE(T / HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("lower-case version")
            << QByteArray("GET / http/1.1") + host << Status::BadRequest;
        QTest::newRow("short version") << QByteArray("GET / HTTP/1") + host << Status::BadRequest;
        QTest::newRow("version 2")
            << QByteArray("GET / HTTP/2.0") + host << Status::VersionNotSupported;
        QTest::newRow("absolute target")
            << QByteArray("GET http://h/ HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("tab in target")
            << QByteArray("GET /a\tb HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("raw non-ascii target")
            << QByteArray("GET /北京 HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("nul in target")
            << QByteArray("GET /a\0b HTTP/1.1", 18) + host << Status::BadRequest;
        QTest::newRow("carriage return in line")
            << QByteArray("GET /\r HTTP/1.1") + host << Status::BadRequest;
        QTest::newRow("1.1 without host") << QByteArray("GET / HTTP/1.1\r\n") << Status::BadRequest;
        QTest::newRow("two hosts") << QByteArray("GET / HTTP/1.1") + host + "Host: g\r\n"
                                   << Status::BadRequest;
        QTest::newRow("folded header") << QByteArray("GET / HTTP/1.1") + host + " more\r\n"
                                       << Status::BadRequest;
        QTest::newRow("blank before colon")
            << QByteArray("GET / HTTP/1.1\r\nHost : h\r\n") << Status::BadRequest;
        QTest::newRow("no colon") << QByteArray("GET / HTTP/1.1") + host + "Accept\r\n"
                                  << Status::BadRequest;
        QTest::newRow("empty name") << QByteArray("GET / HTTP/1.1") + host + ": x\r\n"
                                    << Status::BadRequest;
        QTest::newRow("control in value") << QByteArray("GET / HTTP/1.1") + host + "X: a\x01z\r\n"
                                          << Status::BadRequest;
        QTest::newRow("lone carriage return")
            << QByteArray("GET / HTTP/1.1") + host + "X: a\rY: b\r\n"
            << Status::BadRequest;
    }
    void malformedHeadsAreRefused() {
        QFETCH(QByteArray, text);
        QFETCH(Status, status);
        QCOMPARE(http::parseHead(text).status, status);
    }

    void pathAndQuerySplitAtTheFirstQuestionMark() {
        const http::RequestHead head = headFor("GET", "/a/b.asp?x=1?y=2");
        QCOMPARE(head.path(), QByteArray("/a/b.asp"));
        QCOMPARE(head.query(), QByteArray("x=1?y=2"));
        QCOMPARE(headFor("GET", "/plain").query(), QByteArray());
    }

    void readerAssemblesAHeadFromAnyPieces_data() {
        QTest::addColumn<int>("pieceSize");
        for (const int size : {1, 2, 3, 5, 16, 4096})
            QTest::addRow("%d bytes at a time", size) << size;
    }
    void readerAssemblesAHeadFromAnyPieces() {
        QFETCH(int, pieceSize);
        const QByteArray request = "\r\n" + requestFor("GET", "/tonghang/allcom.asp?city=%B1%B1");
        HeadReader reader;
        for (qsizetype at = 0; at < request.size(); at += pieceSize) {
            const bool last = at + pieceSize >= request.size();
            const auto state = reader.feed(QByteArrayView(request).sliced(at).first(
                std::min<qsizetype>(pieceSize, request.size() - at)));
            QCOMPARE(state, last ? HeadReader::State::Done : HeadReader::State::Reading);
        }
        QCOMPARE(reader.result().head.target, QByteArray("/tonghang/allcom.asp?city=%B1%B1"));
    }

    void readerSkipsBlankLinesSplitAcrossPieces() {
        HeadReader reader;
        QCOMPARE(reader.feed("\r"), HeadReader::State::Reading);
        QCOMPARE(reader.feed("\n\n\r"), HeadReader::State::Reading);
        QCOMPARE(reader.feed("\nGET /z HTTP/1.0\r\n\r\n"), HeadReader::State::Done);
        QCOMPARE(reader.result().head.target, QByteArray("/z"));
    }

    void readerStopsAtTheEndOfTheHead() {
        HeadReader reader;
        QCOMPARE(reader.feed("GET /q HTTP/1.0\n\nbody that is not ours\r\n\r\n"),
                 HeadReader::State::Done);
        QCOMPARE(reader.result().head.target, QByteArray("/q"));
        QCOMPARE(reader.feed("more"), HeadReader::State::Done);
    }

    void readerRefusesABrokenRequestLineWithoutWaiting() {
        HeadReader reader;
        QCOMPARE(reader.feed("HELLO THERE\r\n"), HeadReader::State::Failed);
        QCOMPARE(reader.result().status, Status::BadRequest);
        QCOMPARE(reader.feed("GET / HTTP/1.0\r\n\r\n"), HeadReader::State::Failed);
    }

    void readerBoundsWhatItHolds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<HeadReader::State>("state");
        QTest::addColumn<Status>("status");
        const qsizetype max = HeadReader::MaxHeadBytes;
        const QByteArray start = "GET / HTTP/1.1\r\nHost: h\r\nX: ";
        const QByteArray end = "\r\n\r\n";
        QTest::newRow("endless request line")
            << "GET /" + QByteArray(max, 'a') << HeadReader::State::Failed << Status::UriTooLong;
        QTest::newRow("endless header")
            << start + QByteArray(max, 'a') << HeadReader::State::Failed << Status::HeadersTooLarge;
        QTest::newRow("head one byte too long")
            << start + QByteArray(max - start.size() - end.size() + 1, 'a') + end
            << HeadReader::State::Failed << Status::HeadersTooLarge;
        QTest::newRow("head just fits")
            << start + QByteArray(max - start.size() - end.size(), 'a') + end
            << HeadReader::State::Done << Status::Ok;
    }
    void readerBoundsWhatItHolds() {
        QFETCH(QByteArray, bytes);
        QFETCH(HeadReader::State, state);
        QFETCH(Status, status);
        HeadReader whole;
        QCOMPARE(whole.feed(bytes), state);
        QCOMPARE(whole.result().status, status);

        // Arriving in small pieces it must end the same way, at the latest
        // with the piece that crosses the limit.
        HeadReader pieces;
        HeadReader::State last = HeadReader::State::Reading;
        for (qsizetype at = 0; at < bytes.size() && last == HeadReader::State::Reading; at += 1000)
            last = pieces.feed(
                QByteArrayView(bytes).sliced(at, std::min<qsizetype>(1000, bytes.size() - at)));
        QCOMPARE(last, state);
        QCOMPARE(pieces.result().status, status);
    }

    void pageShowsPathAndQueryReadAsGbk_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("query");
        QTest::newRow("city") << QByteArray("/tonghang/allcom.asp?city=%B1%B1%BE%A9")
                              << "/tonghang/allcom.asp"
                              << "city=北京";
        QTest::newRow("pre-encoded type")
            << QByteArray("/tonghang/allcom.asp?type=%B3%B5%C1%BE") << "/tonghang/allcom.asp"
            << "type=车辆";
        QTest::newRow("chinese path") << QByteArray("/%B1%B1%BE%A9/") << "/北京/" << QString();
        QTest::newRow("markup escaped")
            << QByteArray("/%3Cscript%3E?q=%3Cb%3E%26%22") << "/&lt;script&gt;"
            << "q=&lt;b&gt;&amp;&quot;";
    }
    void pageShowsPathAndQueryReadAsGbk() {
        QFETCH(QByteArray, target);
        QFETCH(QString, path);
        QFETCH(QString, query);
        const QString page = QString::fromUtf8(demoportal::pageFor(headFor("GET", target)));
        QVERIFY2(
            page.contains(QStringLiteral("<span id=\"path\">") + path + QStringLiteral("</span>")),
            qPrintable(page));
        QVERIFY2(page.contains(QStringLiteral("<span id=\"query\">") + query +
                               QStringLiteral("</span>")),
                 qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("<h1>Velantrix 演示门户</h1>")));
        QVERIFY(!page.contains(QStringLiteral("<script>")));
        QVERIFY(!page.contains(QStringLiteral("<b>")));
    }

    void headAnswersLikeGetWithoutTheBody() {
        const Response get = split(demoportal::answer(headFor("GET", "/a?city=%B1%B1")));
        const Response head = split(demoportal::answer(headFor("HEAD", "/a?city=%B1%B1")));
        QCOMPARE(get.statusLine, QByteArray("HTTP/1.1 200 OK"));
        QCOMPARE(headerValue(get, "Content-Length").toLongLong(), get.body.size());
        QCOMPARE(headerValue(get, "Content-Type"), QByteArray("text/html; charset=utf-8"));
        QCOMPARE(head.statusLine, get.statusLine);
        QCOMPARE(head.headers, get.headers);
        QVERIFY(head.body.isEmpty());
    }

    void otherMethodsAreRefused() {
        const Response post = split(demoportal::answer(headFor("POST", "/login.asp")));
        QCOMPARE(post.statusLine, QByteArray("HTTP/1.1 405 Method Not Allowed"));
        QCOMPARE(headerValue(post, "Allow"), QByteArray("GET, HEAD"));
        QCOMPARE(headerValue(post, "Content-Length").toLongLong(), post.body.size());
    }

    void refusalsCarryTheirStatus_data() {
        QTest::addColumn<Status>("status");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::newRow("400") << Status::BadRequest << QByteArray("HTTP/1.1 400 Bad Request");
        QTest::newRow("408") << Status::RequestTimeout
                             << QByteArray("HTTP/1.1 408 Request Timeout");
        QTest::newRow("414") << Status::UriTooLong << QByteArray("HTTP/1.1 414 URI Too Long");
        QTest::newRow("431") << Status::HeadersTooLarge
                             << QByteArray("HTTP/1.1 431 Request Header Fields Too Large");
        QTest::newRow("505") << Status::VersionNotSupported
                             << QByteArray("HTTP/1.1 505 HTTP Version Not Supported");
    }
    void refusalsCarryTheirStatus() {
        QFETCH(Status, status);
        QFETCH(QByteArray, statusLine);
        const Response r = split(demoportal::refusal(status));
        QCOMPARE(r.statusLine, statusLine);
        QCOMPARE(headerValue(r, "Connection"), QByteArray("close"));
        QCOMPARE(headerValue(r, "Content-Length").toLongLong(), r.body.size());
        QCOMPARE(demoportal::logLine(status), statusLine.mid(9));
    }
};

QTEST_APPLESS_MAIN(TestHttpRequest)
#include "test_http_request.moc"

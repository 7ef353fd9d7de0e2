#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

// Reading one HTTP/1.x request head, without sockets: the server feeds it
// whatever arrived, in whatever pieces.
namespace http {

enum class Status {
    Ok = 200,
    BadRequest = 400,
    MethodNotAllowed = 405,
    RequestTimeout = 408,
    UriTooLong = 414,
    HeadersTooLarge = 431,
    VersionNotSupported = 505,
};

QByteArray reasonPhrase(Status status);

struct RequestHead {
    QByteArray method;
    QByteArray target; // as received
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;

    QByteArray path() const;
    QByteArray query() const; // after the first "?", without it
};

struct Parsed {
    Status status = Status::BadRequest; // Ok, or why the head is refused
    RequestHead head;
};

// A complete head: the request line and the header lines, without the blank
// line that ends it. Lines end in CR LF or a bare LF.
Parsed parseHead(QByteArrayView text);

// The request line alone; Ok when it is well formed.
Parsed parseRequestLine(QByteArrayView line);

class HeadReader {
public:
    // Everything up to the blank line must fit; a peer cannot make us hold more.
    static constexpr qsizetype MaxHeadBytes = 16 * 1024;

    enum class State { Reading, Done, Failed };

    State feed(QByteArrayView bytes);
    State state() const { return m_state; }
    // Meaningful once Done (Ok) or Failed (the refusal to send).
    const Parsed& result() const { return m_result; }

private:
    State fail(Status status);

    QByteArray m_buffer;
    qsizetype m_scanned = 0;
    bool m_lineChecked = false;
    State m_state = State::Reading;
    Parsed m_result;
};

} // namespace http

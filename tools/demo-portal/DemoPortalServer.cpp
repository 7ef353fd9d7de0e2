#include "DemoPortalServer.h"

#include "HttpRequest.h"
#include "PortalPage.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <memory>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

constexpr int MaxConnections = 256;
// Descriptors kept for the program itself: standard streams, the listener,
// the event loop's own, the sanitizers' when built with them.
constexpr int ReservedDescriptors = 16;

// Connections that fit in the descriptor limit. Qt's listener, once accept
// fails for want of descriptors, can go on retrying it without pause; staying
// below the limit keeps it from getting there.
int connectionsThatFit() {
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return int(std::clamp<rlim_t>(limit.rlim_cur, ReservedDescriptors + 1, INT_MAX)) -
               ReservedDescriptors;
#endif
    return INT_MAX;
}

} // namespace

DemoPortalServer::DemoPortalServer(QObject* parent)
    : QObject(parent), m_maxConnections(std::min(MaxConnections, connectionsThatFit())) {
    // One connection at most waits on our side; the rest wait in the kernel.
    m_server.setMaxPendingConnections(1);
    connect(&m_server, &QTcpServer::newConnection, this, &DemoPortalServer::takeWaiting);
    // A failed accept (no descriptors left) leaves the listener paused: try
    // again when a connection closes, or after a short wait.
    m_retry.setSingleShot(true);
    m_retry.setInterval(200);
    connect(&m_server, &QTcpServer::acceptError, this, [this] {
        m_server.pauseAccepting();
        m_retry.start();
    });
    connect(&m_retry, &QTimer::timeout, this, &DemoPortalServer::takeWaiting);
}

DemoPortalServer::~DemoPortalServer() {
    // The open sockets go with the listener; their last word is not ours.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

void DemoPortalServer::takeWaiting() {
    while (m_open < m_maxConnections && m_server.hasPendingConnections())
        serve(m_server.nextPendingConnection());
    if (m_open >= m_maxConnections) {
        m_server.pauseAccepting();
    } else {
        m_retry.stop();
        m_server.resumeAccepting();
    }
}

bool DemoPortalServer::listen(quint16 port) {
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString DemoPortalServer::address() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

void DemoPortalServer::serve(QTcpSocket* socket) {
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_open;
        takeWaiting();
    });
    socket->setReadBufferSize(http::HeadReader::MaxHeadBytes);
    auto reader = std::make_shared<http::HeadReader>();
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);

    const auto finish = [this, socket, deadline](const QByteArray& line, const QByteArray& bytes) {
        deadline->stop();
        if (bytes.isEmpty()) {
            emit logged(line);
            return; // held open, unanswered
        }
        socket->write(bytes);
        socket->disconnectFromHost();
        emit logged(line); // after the answer, which never waits for the log
    };
    connect(socket, &QTcpSocket::readyRead, socket, [socket, reader, finish] {
        const QByteArray bytes = socket->readAll();
        if (reader->state() != http::HeadReader::State::Reading)
            return; // answered already; the rest is not ours to read
        switch (reader->feed(bytes)) {
        case http::HeadReader::State::Reading:
            break;
        case http::HeadReader::State::Done:
            finish(demoportal::logLine(reader->result().head),
                   demoportal::answer(reader->result().head));
            break;
        case http::HeadReader::State::Failed:
            finish(demoportal::logLine(reader->result().status),
                   demoportal::refusal(reader->result().status));
            break;
        }
    });
    connect(deadline, &QTimer::timeout, socket, [finish] {
        finish(demoportal::logLine(http::Status::RequestTimeout),
               demoportal::refusal(http::Status::RequestTimeout));
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    deadline->start(m_timeout);
}

#include "DemoPortalServer.h"

#include "HttpRequest.h"
#include "PortalPage.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>

DemoPortalServer::DemoPortalServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

bool DemoPortalServer::listen(quint16 port) {
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString DemoPortalServer::address() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

void DemoPortalServer::serve(QTcpSocket* socket) {
    socket->setReadBufferSize(http::HeadReader::MaxHeadBytes);
    auto reader = std::make_shared<http::HeadReader>();
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);

    const auto finish = [this, socket, deadline](const QByteArray& line, const QByteArray& bytes) {
        deadline->stop();
        emit logged(line);
        if (bytes.isEmpty())
            return; // held open, unanswered
        socket->write(bytes);
        socket->disconnectFromHost();
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

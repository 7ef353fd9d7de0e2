#pragma once

#include <QObject>
#include <QTcpServer>
#include <chrono>

class QTcpSocket;

// The demo portal's listener: loopback only, one request per connection, one
// logged line per request.
class DemoPortalServer : public QObject {
    Q_OBJECT
public:
    explicit DemoPortalServer(QObject* parent = nullptr);

    // Port 0 picks a free one.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString address() const; // "http://127.0.0.1:PORT/"
    QString errorString() const { return m_server.errorString(); }

    // A client that has not sent its whole request head by then is answered 408.
    void setClientTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

signals:
    void logged(const QByteArray& line);

private:
    void serve(QTcpSocket* socket);

    QTcpServer m_server;
    std::chrono::milliseconds m_timeout{10000};
};

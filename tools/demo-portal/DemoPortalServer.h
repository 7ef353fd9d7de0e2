#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <chrono>

class QTcpSocket;

// The demo portal's listener: loopback only, one request per connection, one
// logged line per request, a bounded number of connections at once.
class DemoPortalServer : public QObject {
    Q_OBJECT
public:
    explicit DemoPortalServer(QObject* parent = nullptr);
    ~DemoPortalServer() override;

    // Port 0 picks a free one.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString address() const; // "http://127.0.0.1:PORT/"
    QString errorString() const { return m_server.errorString(); }

    // A client that has not sent its whole request head by then is answered 408.
    void setClientTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // Clients beyond this many (256, fewer when the descriptor limit is low)
    // wait in the listen queue until one closes.
    void setMaxConnections(int count) { m_maxConnections = count; }
    int openConnections() const { return m_open; }

signals:
    void logged(const QByteArray& line);

private:
    void serve(QTcpSocket* socket);
    void takeWaiting();

    QTcpServer m_server;
    QTimer m_retry; // after a failed accept, out of descriptors
    std::chrono::milliseconds m_timeout{10000};
    int m_maxConnections;
    int m_open = 0;
};

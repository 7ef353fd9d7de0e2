#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// Writes log lines to a descriptor without ever waiting for its reader: what
// the reader has not taken yet waits in a bounded buffer, and a line that does
// not fit is dropped and counted. The count is written out, as a line of its
// own, once the reader takes lines again.
class LogWriter : public QObject {
public:
    explicit LogWriter(int fd, qsizetype maxPending = 64 * 1024, QObject* parent = nullptr);

    void write(const QByteArray& line); // the line break is added here
    qint64 dropped() const { return m_dropped; }

private:
    void flush();
    void drop(qint64 lines);

    int m_fd;
    qsizetype m_maxPending;
    QByteArray m_pending;
    qint64 m_dropped = 0;
    qint64 m_reported = 0;
    QSocketNotifier* m_writable = nullptr;
};

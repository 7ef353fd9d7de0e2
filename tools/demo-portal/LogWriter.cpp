#include "LogWriter.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

LogWriter::LogWriter(int fd, qsizetype maxPending, QObject* parent)
    : QObject(parent), m_fd(fd), m_maxPending(maxPending) {
    // Only a pipe or a socket can fill up and stall us; a file or a terminal
    // keeps its blocking writes.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !(S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)))
        return;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == -1)
        return;
    m_writable = new QSocketNotifier(qintptr(fd), QSocketNotifier::Write, this);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, [this] { flush(); });
}

void LogWriter::write(const QByteArray& line) {
    if (m_dropped > m_reported && m_pending.isEmpty()) {
        m_pending =
            "demo-portal: " + QByteArray::number(m_dropped - m_reported) + " log lines dropped\n";
        m_reported = m_dropped;
    }
    if (m_pending.size() + line.size() + 1 > m_maxPending) {
        drop(1);
        return;
    }
    m_pending += line + '\n';
    flush();
}

void LogWriter::flush() {
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::write(m_fd, m_pending.constData(), size_t(m_pending.size()));
        if (written > 0) {
            m_pending.remove(0, written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && m_writable) {
            m_writable->setEnabled(true); // the reader is behind: try again once it reads
            return;
        } else { // the reader is gone: nothing will take these
            drop(m_pending.count('\n'));
            m_pending.clear();
        }
    }
    if (m_writable)
        m_writable->setEnabled(false);
}

void LogWriter::drop(qint64 lines) {
    m_dropped += lines;
}

#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The built demo portal, started for a test on a free port; keeps every line
// it logs ("GET /market/ad.asp").
class DemoPortalProcess {
public:
    DemoPortalProcess() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                         [this] { readLines(); });
    }
    ~DemoPortalProcess() {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

    // Waits for the address the portal prints first.
    bool start() {
        m_process.start(QStringLiteral(DEMO_PORTAL_BINARY), {});
        while (m_address.isEmpty() && m_process.waitForReadyRead(30000)) {
        }
        return !m_address.isEmpty();
    }

    QString address() const { return m_address; } // "http://127.0.0.1:PORT/"
    QStringList requests() const { return m_requests; }
    int count(const QString& request) const { return int(m_requests.count(request)); }

private:
    void readLines() {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (m_address.isEmpty() && line.startsWith(QLatin1String("listening ")))
                m_address = line.mid(10);
            else
                m_requests.append(line);
        }
    }

    QProcess m_process;
    QString m_address;
    QStringList m_requests;
};

#include "Portal.h"

#include <QStringEncoder>
#include <QTextStream>
#include <cstdio>

namespace portal {
namespace {
QString& current() {
    static QString url = QStringLiteral(PORTAL_BASE_URL);
    return url;
}
} // namespace

QString chooseBaseUrl(const QString& compiledIn, const QString& override, QString* rejected) {
    if (override.isEmpty())
        return compiledIn;
    const QUrl url(override, QUrl::StrictMode);
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (url.isValid() && web && !url.host().isEmpty() && override.endsWith(QLatin1Char('/')))
        return override;
    if (rejected)
        *rejected = QStringLiteral("ORVANTA_PORTAL_URL ignored: \"%1\" is not an absolute "
                                   "http or https address ending in \"/\"")
                        .arg(override);
    return compiledIn;
}

void initFromEnvironment() {
    QString rejected;
    current() = chooseBaseUrl(QStringLiteral(PORTAL_BASE_URL),
                              qEnvironmentVariable("ORVANTA_PORTAL_URL"), &rejected);
    if (!rejected.isEmpty())
        std::fprintf(stderr, "%s\n", rejected.toLocal8Bit().constData());
}

void setBaseUrl(const QString& url) {
    current() = url;
}
QString baseUrl() {
    return current();
}
QString rootAddress() {
    return current().chopped(1);
}
QString host() {
    return QUrl(current()).host();
}

QString webmasterAddress() {
    QString h = host();
    if (h.startsWith(QLatin1String("www.")))
        h.remove(0, 4);
    return QStringLiteral("webmaster@") + h;
}

QByteArray wireEncoded(const QString& address) {
    QStringEncoder gbk("GBK");
    QByteArray out;
    out.reserve(address.size() * 3);
    qsizetype i = 0;
    while (i < address.size()) {
        if (address.at(i).unicode() < 0x80) {
            out.append(char(address.at(i).unicode()));
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < address.size() && address.at(end).unicode() >= 0x80)
            ++end;
        const QByteArray bytes = gbk.encode(QStringView(address).sliced(i, end - i));
        for (const char byte : bytes) {
            out.append('%');
            out.append(QByteArray::number(uchar(byte), 16).rightJustified(2, '0').toUpper());
        }
        i = end;
    }
    return out;
}

QUrl toWireUrl(const QString& address) {
    return QUrl::fromEncoded(wireEncoded(address), QUrl::TolerantMode);
}

} // namespace portal

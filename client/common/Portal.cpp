#include "Portal.h"

#include <QStringEncoder>

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
    // Pages are the root address followed by their path: a query or a
    // fragment would end up in the middle of every address.
    if (url.isValid() && web && !url.host().isEmpty() && !url.hasQuery() && !url.hasFragment())
        return override.endsWith(QLatin1Char('/')) ? override : override + QLatin1Char('/');
    if (rejected)
        *rejected = QStringLiteral("环境变量 ORVANTA_PORTAL_URL 的值“%1”不是完整的 http 或 https "
                                   "网址（例如 http://127.0.0.1:8080/），程序无法启动。")
                        .arg(override);
    return {};
}

bool initFromEnvironment(QString* problem) {
    const QString chosen = chooseBaseUrl(QStringLiteral(PORTAL_BASE_URL),
                                         qEnvironmentVariable("ORVANTA_PORTAL_URL"), problem);
    if (chosen.isEmpty())
        return false;
    current() = chosen;
    return true;
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

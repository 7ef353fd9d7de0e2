#include "PortalPage.h"

#include "HostilePages.h"

#include <QStringDecoder>

namespace demoportal {
namespace {

QByteArray response(http::Status status, const QByteArray& body, bool withBody,
                    const QByteArray& extraHeaders = {}) {
    QByteArray out =
        "HTTP/1.1 " + QByteArray::number(int(status)) + ' ' + http::reasonPhrase(status) + "\r\n";
    out += "Content-Type: text/html; charset=utf-8\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    // Every load must reach the server, so that what the client asked for shows.
    out += "Cache-Control: no-store\r\n";
    out += "Connection: close\r\n";
    out += extraHeaders;
    out += "\r\n";
    if (withBody)
        out += body;
    return out;
}

QByteArray smallPage(const QString& title, const QString& body) {
    // Compact, so that the path and query show even in the small side panes.
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title><style>body{font:13px sans-serif;margin:6px}"
                          "h1{font-size:15px;margin:0 0 4px}p{margin:2px 0}</style></head>\n"
                          "<body>%2</body></html>\n")
        .arg(title.toHtmlEscaped(), body)
        .toUtf8();
}

} // namespace

QString decodeGbk(QByteArrayView percentEncoded) {
    QStringDecoder gbk("GBK");
    return gbk.decode(QByteArray::fromPercentEncoding(percentEncoded.toByteArray()));
}

QByteArray pageFor(const http::RequestHead& head) {
    const QString path = decodeGbk(head.path());
    const QString query = decodeGbk(head.query());
    const QString body = QStringLiteral("<h1>Velantrix 演示门户</h1>\n<p>路径：<span id=\"path\">%1"
                                        "</span></p>\n<p>查询：<span id=\"query\">%2</span></p>\n")
                             .arg(path.toHtmlEscaped(), query.toHtmlEscaped());
    return smallPage(QStringLiteral("演示门户 ") + path, body);
}

QByteArray answer(const http::RequestHead& head) {
    const bool get = head.method == "GET";
    if (!get && head.method != "HEAD") {
        const QByteArray body = smallPage(QStringLiteral("不支持的请求"),
                                          QStringLiteral("<h1>只支持 GET 和 HEAD</h1>\n"));
        return response(http::Status::MethodNotAllowed, body, true, "Allow: GET, HEAD\r\n");
    }
    if (head.path() == NeverAnsweredPath)
        return {};
    if (get) {
        if (std::optional<QByteArray> hostile = hostileAnswer(head))
            return *hostile;
    }
    return response(http::Status::Ok, pageFor(head), get);
}

QByteArray refusal(http::Status status) {
    const QString code = QString::number(int(status));
    const QByteArray body =
        smallPage(code, QStringLiteral("<h1>%1 %2</h1>\n")
                            .arg(code, QString::fromLatin1(http::reasonPhrase(status))));
    return response(status, body, true);
}

QByteArray logLine(const http::RequestHead& head) {
    return head.method + ' ' + head.target;
}

QByteArray logLine(http::Status refused) {
    return QByteArray::number(int(refused)) + ' ' + http::reasonPhrase(refused);
}

} // namespace demoportal

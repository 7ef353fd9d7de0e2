#include "ErrorPage.h"

#include "SiteName.h"

namespace errorpage {
namespace {

struct Wording {
    QString title, heading, advice;
};

Wording wordingFor(Problem problem) {
    switch (problem) {
    case Problem::Unreachable:
        return {QStringLiteral("无法连接到门户"), QStringLiteral("暂时无法连接到门户网站"),
                QStringLiteral("请检查网络连接。网络恢复后，本页会自动重新打开。")};
    case Problem::Certificate:
        return {QStringLiteral("安全证书无效"), QStringLiteral("此网站的安全证书无效"),
                QStringLiteral("为保护您的信息，本程序不会打开此网页。请联系网站管理员。")};
    case Problem::NotAnswering:
        return {QStringLiteral("网页没有响应"), QStringLiteral("此网页长时间没有响应，已被关闭"),
                QStringLiteral("其他窗格不受影响。可以点击“重试”重新打开此网页。")};
    case Problem::PageCrashed:
        break;
    }
    return {QStringLiteral("网页无法显示"), QStringLiteral("此网页多次意外中止，无法显示"),
            QStringLiteral("可以稍后再试。")};
}

bool retryable(const QUrl& address) {
    return address.isValid() && (address.scheme() == QLatin1String("http") ||
                                 address.scheme() == QLatin1String("https"));
}

} // namespace

QString retryText() {
    return QStringLiteral("重试");
}

QString html(Problem problem, const QUrl& address) {
    const Wording w = wordingFor(problem);
    // The address comes from the page that failed: shown escaped, and linked
    // only when it is a web address, fully percent-encoded.
    const QString shown = sitename::address(address).toHtmlEscaped();
    const QString retry =
        retryable(address)
            ? QStringLiteral("<p><a id=\"retry\" href=\"%1\">%2</a></p>")
                  .arg(QString::fromLatin1(address.toEncoded()).toHtmlEscaped(), retryText())
            : QString();
    return QStringLiteral(
               "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
               "<title>%1</title><style>body{font:13px sans-serif;margin:8px;color:#333}"
               "h1{font-size:15px;margin:0 0 6px}p{margin:4px 0}#address{word-break:break-all}"
               "#retry{display:inline-block;margin-top:6px;padding:3px 14px;border:1px solid #888;"
               "border-radius:3px;background:#eee;color:#000;text-decoration:none}</style>"
               "</head><body><h1>%2</h1><p>网址：<span id=\"address\">%3</span></p><p>%4</p>%5"
               "</body></html>")
        .arg(w.title, w.heading, shown, w.advice, retry);
}

} // namespace errorpage

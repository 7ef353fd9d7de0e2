#pragma once

#include <QString>
#include <QUrl>

// The portal's root address and the forms derived from it. Every page the
// client shows is the root address followed by a relative path, unchanged.
namespace portal {

// The address compiled in when `override` is empty; `override` when it is an
// absolute http(s) address (a missing final "/" added). Anything else gives an
// empty address and, in `rejected`, the message for the user naming the value:
// a portal other than the one asked for is never used in its place.
QString chooseBaseUrl(const QString& compiledIn, const QString& override, QString* rejected);

// Reads ORVANTA_PORTAL_URL once; call before any window is built. False, with
// the message for the user, when its value cannot be used.
bool initFromEnvironment(QString* problem);
void setBaseUrl(const QString& url);

QString baseUrl();          // "https://www.velantrix.com/"
QString rootAddress();      // without the final "/"
QString host();             // "www.velantrix.com"
QString webmasterAddress(); // "webmaster@velantrix.com"
inline QString page(const QString& path) {
    return baseUrl() + path;
}

// The address as the web engine must receive it: ASCII kept as written
// (existing % escapes untouched), everything else percent-encoded in GBK,
// the portal's own charset.
QByteArray wireEncoded(const QString& address);
QUrl toWireUrl(const QString& address);

} // namespace portal

#pragma once

#include <QString>
#include <QUrl>

// How the client names a site to the user: in page dialogs, password
// dialogs, our error pages and window captions. A page chooses its address
// and its title, so neither may pass for another site or for us.
namespace sitename {

// The host as shown: each label in its own script when that is unambiguous,
// otherwise its ASCII (punycode) form, as browsers show it. A label that
// mixes scripts (Cyrillic "а" in "аpple"), or is written wholly in letters
// that look like Latin ones ("аррӏе"), or holds anything but letters, digits
// and hyphens, stays in ASCII.
QString host(const QString& host);

// The site of `url` as shown: the host as above, with its port when it has one.
// Empty when the address names no host.
QString of(const QUrl& url);

// `url` for display, with its host shown as host() shows it.
QString address(const QUrl& url);

// A separate window's caption: the site first, then the page's title without
// control or direction marks, its blanks folded and cut to MaxTitle characters.
inline constexpr int MaxTitle = 80;
QString caption(const QUrl& url, const QString& title);

} // namespace sitename

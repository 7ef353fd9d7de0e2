#pragma once

#include <QString>
#include <QUrl>

// The client's own pages for a pane whose page cannot be shown. Each names
// the address the user asked for and, for a web address, offers "重试",
// which loads that address again.
namespace errorpage {

enum class Problem {
    Unreachable,  // refused, unreachable, name not resolved, timed out, reset
    Certificate,  // the site's certificate is not valid; never overridden
    PageCrashed,  // the page's renderer kept dying
    NotAnswering, // the page stopped answering; what it held was freed
};

QString html(Problem problem, const QUrl& address);

// The text a pane's retry button and title show, for tests and the page alike.
QString retryText();

} // namespace errorpage

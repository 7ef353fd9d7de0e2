#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

// The rules every page the client shows is held to, without the web engine:
// what a suggested download name may be, which links are followed, and when
// a page has shown enough dialogs.
namespace pagerules {

// A page's suggested download name as a plain file name: no folders, no "..",
// no leading dot, no control or direction characters, at most MaxNameLength
// characters (and few enough bytes for any file system), never empty.
inline constexpr int MaxNameLength = 200;
QString safeFileName(const QString& suggested);

// Where the save dialog opens: the user's download folder, made when missing;
// the account's home when there is none. Never a relative path, never "/".
QString downloadFolder();

// The account's home, also when HOME is unset or empty.
QString accountHome();

enum class LinkAction {
    Follow, // the page may load it
    Mail,   // hand it to the desktop's mail program instead
    Refuse, // nothing happens
};
// http and https are followed, and the engine's own internal addresses;
// mailto goes to the mail program only when the user clicked it; every other
// scheme is refused, so nothing reaches the desktop's opener.
LinkAction actionFor(const QUrl& url, bool clicked);

// The program's own resources (qrc:) are no page's to show, in any frame or
// picture: nothing of ours loads them into a page.
bool isProgramResource(const QUrl& url);

// A mail link as the desktop's mail program gets it: the addresses, with
// only subject, body, cc and bcc. Anything else ("attach=/etc/passwd") some
// mail programs would act on is dropped.
QUrl mailLink(const QUrl& url);

// Separate windows a page may have open at once; beyond that it gets none.
inline constexpr int MaxPageWindows = 10;

// Counts the dialogs one pane's pages show in a row. From the third in a row
// from one origin the user is offered to silence that origin; a silenced
// origin shows no more dialogs until the client itself loads a page there.
// Every kind counts: alerts, confirms, prompts, printing, passwords and file
// pickers, and a pane shows one of them at a time.
class DialogGate {
public:
    static constexpr int EscapeFrom = 3;
    // A dialog opened this long after the last one closed starts a new row.
    static constexpr qint64 RowGapMs = 5000;

    struct Ask {
        bool show = true;
        bool offerEscape = false;
    };
    // Nothing shown while another of the pane's dialogs is open.
    Ask opening(const QString& origin, qint64 nowMs);
    void closed(bool silence, qint64 nowMs);
    void reset();
    bool isOpen() const { return m_open; }

private:
    bool m_open = false;
    QString m_origin;
    int m_inRow = 0;
    qint64 m_lastClosedMs = 0;
    QSet<QString> m_silenced;
};

} // namespace pagerules

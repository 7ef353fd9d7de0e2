#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class QDialog;
class QObject;
class QWidget;

// The dialogs a page can make the client show: its JavaScript dialogs and a
// server's request for a name and password. They never block the main
// window, so its close box always reaches the close question. Tests answer
// in place of the user.
namespace pagedialogs {

enum class Kind { Alert, Confirm, Prompt };

struct ScriptDialog {
    Kind kind = Kind::Alert;
    QString site;  // who asks, as the user knows it
    QString text;  // the page's own words, shown as plain text
    QString value; // a prompt's default answer
    bool offerEscape = false;
};

struct ScriptAnswer {
    bool accepted = false;
    QString value;
    bool silence = false; // "不再显示此网页的对话框" ticked
};

using ScriptReply = std::function<void(const ScriptAnswer&)>;
// Asks without waiting: `done` gets the answer once. The dialog goes,
// cancelled, with `whileAlive` (when given).
using ScriptAsker =
    std::function<void(QWidget* over, const ScriptDialog&, QObject* whileAlive, ScriptReply done)>;
// As the asker, but answered at once while the program ends.
void askScriptThen(QWidget* over, const ScriptDialog& dialog, QObject* whileAlive,
                   ScriptReply done);
// Asks and waits for the answer.
ScriptAnswer askScript(QWidget* over, const ScriptDialog& dialog);
// Waits for the answer `ask` gives; the dialog goes with the wait.
ScriptAnswer waitForScript(const std::function<void(QObject* whileAlive, ScriptReply done)>& ask);
ScriptAsker setScriptAsker(ScriptAsker asker); // returns the previous one

struct AuthRequest {
    QString host;
    QString realm; // the server's own words
    bool proxy = false;
    bool offerEscape = false;
    bool refused = false; // this proxy refused the answer it was given
};

struct Credentials {
    bool given = false; // false: the user cancelled
    QString user;
    QString password;
    bool silence = false; // "不再显示此网页的对话框" ticked
};

// One question per host and realm at a time: a request that comes while the
// same one is asked (twenty frames, four panes behind one proxy) waits and
// gets the same answer. A proxy's answer is kept for the session and given
// to every later request, unless that proxy refused it.
using CredentialsAsker = std::function<Credentials(QWidget* over, const AuthRequest&)>;
Credentials askCredentials(QWidget* over, const AuthRequest& request);
CredentialsAsker setCredentialsAsker(CredentialsAsker asker);
// True while the user is asked `request`'s question for another page or frame.
bool isAsking(const AuthRequest& request);
// The answer the user gave for the proxy `host` this session; not given when none.
Credentials proxyAnswer(const QString& host);
// Forgets the proxies' answers (for tests).
void forgetProxyAnswers();

// The parent for a page's dialog shown for `over`: its window, or the modal
// window that would block that window (the login window), so the dialog
// comes above it and can be answered.
QWidget* parentFor(QWidget* over);

// A page's <input type=file>: what it may choose and who asks.
struct FileRequest {
    QString site;
    bool folder = false;
    bool several = false;
    bool offerEscape = false;
};

struct FileAnswer {
    QStringList files; // empty: cancelled
    bool silence = false;
};

using FileAsker = std::function<FileAnswer(QWidget* over, const FileRequest&)>;
FileAnswer askFiles(QWidget* over, const FileRequest& request);
FileAsker setFileAsker(FileAsker asker);

// Qt's own file dialog (never the desktop's, which speaks the system's
// language, not ours) writes its history to ~/.config/QtProject.conf when it
// closes. While this lives, that goes to a folder thrown away after.
class FileDialogHistoryAside {
public:
    FileDialogHistoryAside();
    ~FileDialogHistoryAside();
    FileDialogHistoryAside(const FileDialogHistoryAside&) = delete;
    FileDialogHistoryAside& operator=(const FileDialogHistoryAside&) = delete;

private:
    QTemporaryDir m_folder;
};

// Shows `dialog` over its parent's window and waits for it. Only a window that
// deletes itself on close, or a modal window, is blocked meanwhile (the first
// must outlive the page that waits); every other window stays usable.
int runWithoutBlocking(QDialog& dialog);

// The program is ending: every page dialog still open is cancelled, and from
// now on none is shown. A page's question whether to leave it is answered
// "leave", every other one as if cancelled, so no page holds up the exit.
void dismissAll();
// Page dialogs still open.
int openCount();
// Page dialogs the program waits for: shown from inside the engine's work,
// they hold up every page until answered.
int waitingCount();

} // namespace pagedialogs

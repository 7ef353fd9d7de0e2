#pragma once

#include <QString>
#include <functional>

class QDialog;
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

using ScriptAsker = std::function<ScriptAnswer(QWidget* over, const ScriptDialog&)>;
ScriptAnswer askScript(QWidget* over, const ScriptDialog& dialog);
ScriptAsker setScriptAsker(ScriptAsker asker); // returns the previous one

struct AuthRequest {
    QString host;
    QString realm; // the server's own words
    bool proxy = false;
};

struct Credentials {
    bool given = false; // false: the user cancelled
    QString user;
    QString password;
};

using CredentialsAsker = std::function<Credentials(QWidget* over, const AuthRequest&)>;
Credentials askCredentials(QWidget* over, const AuthRequest& request);
CredentialsAsker setCredentialsAsker(CredentialsAsker asker);

// Shows `dialog` over its parent's window and waits for it. Only a window that
// deletes itself on close is blocked meanwhile (it must outlive the page that
// waits); every other window stays usable.
int runWithoutBlocking(QDialog& dialog);

// The program is ending: every page dialog still open is cancelled, and from
// now on none is shown. A page's question whether to leave it is answered
// "leave", every other one as if cancelled, so no page holds up the exit.
void dismissAll();
// Page dialogs still waiting inside runWithoutBlocking.
int openCount();

} // namespace pagedialogs

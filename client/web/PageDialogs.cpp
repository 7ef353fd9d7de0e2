#include "PageDialogs.h"

#include "AppInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace pagedialogs {
namespace {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    // Pages choose these words: never read them as markup.
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QDialogButtonBox* okCancel(QDialog* dialog, bool withCancel) {
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    if (withCancel)
        buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QWidget* windowOf(QWidget* over) {
    return over ? over->window() : nullptr;
}

QCheckBox* escapeBox(QDialog* dialog, bool offered, QBoxLayout* layout) {
    if (!offered)
        return nullptr;
    auto* escape = new QCheckBox(QStringLiteral("不再显示此网页的对话框"), dialog);
    layout->addWidget(escape);
    return escape;
}

QString keyOf(const AuthRequest& r) {
    return (r.proxy ? QStringLiteral("proxy\n") : QStringLiteral("site\n")) + r.host +
           QLatin1Char('\n') + r.realm;
}

// The questions being asked, and who waits for each answer.
struct Waiter {
    QEventLoop* loop;
    Credentials* answer;
};
QHash<QString, QList<Waiter>>& asking() {
    static QHash<QString, QList<Waiter>> questions;
    return questions;
}

// Answers given while their question's own call has not yet returned.
QHash<QString, Credentials>& settled() {
    static QHash<QString, Credentials> answers;
    return answers;
}

QHash<QString, Credentials>& proxyAnswers() {
    static QHash<QString, Credentials> answers;
    return answers;
}

// Called as soon as the answer is known: the waiters' loops run above the
// asking one, so they must end before it can.
void settle(const AuthRequest& r, const Credentials& answer) {
    if (r.proxy && answer.given)
        proxyAnswers().insert(r.host, answer);
    settled().insert(keyOf(r), answer);
    settled()[keyOf(r)].silence = false;
    for (const Waiter& w : asking().value(keyOf(r))) {
        *w.answer = answer;
        w.answer->silence = false;
        w.loop->quit();
    }
    asking()[keyOf(r)].clear();
}

struct Dismissal {
    bool ending = false;
    QList<QPointer<QDialog>> open;
    int waiting = 0;
};
Dismissal& dismissal() {
    static Dismissal d;
    return d;
}

// Counts a wait for a dialog for as long as it lives.
struct Waiting {
    Waiting() { ++dismissal().waiting; }
    ~Waiting() { --dismissal().waiting; }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;
};

// Over its parent's window, listed among the open dialogs until it closes.
void showWithoutBlocking(QDialog& dialog) {
    QWidget* window = windowOf(dialog.parentWidget());
    const bool mayVanish =
        window && (window->testAttribute(Qt::WA_DeleteOnClose) || window->isModal());
    dialog.setWindowModality(mayVanish ? Qt::WindowModal : Qt::NonModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    auto& open = dismissal().open;
    open.removeAll(nullptr);
    open.append(&dialog);
    QObject::connect(&dialog, &QDialog::finished, &dialog,
                     [&dialog] { dismissal().open.removeAll(&dialog); });
}

void showScriptDialog(QWidget* over, const ScriptDialog& d, QObject* whileAlive, ScriptReply done) {
    auto* dialog = new QDialog(parentFor(over));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(app::title());
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(plainLabel(QStringLiteral("网页 %1 显示：").arg(d.site), dialog));
    layout->addWidget(plainLabel(d.text, dialog));
    QLineEdit* input = nullptr;
    if (d.kind == Kind::Prompt) {
        input = new QLineEdit(d.value, dialog);
        layout->addWidget(input);
    }
    QCheckBox* escape = escapeBox(dialog, d.offerEscape, layout);
    layout->addWidget(okCancel(dialog, d.kind != Kind::Alert));
    // Answered once: closed by the user, or gone with its window unanswered.
    auto reply = std::make_shared<ScriptReply>(std::move(done));
    const auto answer = [reply](const ScriptAnswer& a) {
        if (*reply)
            std::exchange(*reply, nullptr)(a);
    };
    QObject::connect(dialog, &QDialog::finished, dialog, [=](int result) {
        answer({result == QDialog::Accepted, input ? input->text() : QString(),
                escape && escape->isChecked()});
    });
    QObject::connect(dialog, &QObject::destroyed, [answer] { answer({}); });
    if (whileAlive)
        QObject::connect(whileAlive, &QObject::destroyed, dialog, &QDialog::reject);
    showWithoutBlocking(*dialog);
}

Credentials showCredentialsDialog(QWidget* over, const AuthRequest& r) {
    QDialog dialog(parentFor(over));
    dialog.setWindowTitle(app::title());
    auto* layout = new QVBoxLayout(&dialog);
    const QString who = r.proxy ? QStringLiteral("代理服务器 %1") : QStringLiteral("网站 %1");
    layout->addWidget(
        plainLabel(who.arg(r.host) + QStringLiteral(" 要求输入用户名和密码。"), &dialog));
    if (!r.realm.isEmpty())
        layout->addWidget(plainLabel(QStringLiteral("该网站说：") + r.realm, &dialog));
    auto* form = new QFormLayout;
    auto* user = new QLineEdit(&dialog);
    user->setObjectName(QStringLiteral("user"));
    auto* password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("用户名："), user);
    form->addRow(QStringLiteral("密码："), password);
    layout->addLayout(form);
    QCheckBox* escape = escapeBox(&dialog, r.offerEscape, layout);
    layout->addWidget(okCancel(&dialog, true));
    Credentials credentials;
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&](int result) {
        credentials.given = result == QDialog::Accepted;
        if (credentials.given) {
            credentials.user = user->text();
            credentials.password = password->text();
        }
        credentials.silence = escape && escape->isChecked();
        settle(r, credentials);
    });
    runWithoutBlocking(dialog);
    return credentials;
}

// Qt asks whether to leave a page (its beforeunload) with this text of its
// own, in the language Qt was given.
bool asksToLeave(const ScriptDialog& d) {
    return d.kind == Kind::Confirm &&
           d.text == QCoreApplication::translate("QWebEnginePage",
                                                 "Are you sure you want to leave this page? "
                                                 "Changes that you made may not be saved.");
}

FileAnswer showFileDialog(QWidget* over, const FileRequest& r) {
    FileDialogHistoryAside aside;
    QFileDialog dialog(parentFor(over));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(r.folder ? QStringLiteral("选择文件夹") : QStringLiteral("选择文件"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(r.folder    ? QFileDialog::Directory
                       : r.several ? QFileDialog::ExistingFiles
                                   : QFileDialog::ExistingFile);
    dialog.setDirectory(QDir::home());
    QCheckBox* escape = nullptr;
    if (r.offerEscape) {
        escape = new QCheckBox(QStringLiteral("不再显示此网页的对话框"), &dialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(escape, grid->rowCount(), 0, 1, grid->columnCount());
    }
    FileAnswer answer;
    if (runWithoutBlocking(dialog) == QDialog::Accepted)
        answer.files = dialog.selectedFiles();
    answer.silence = escape && escape->isChecked();
    return answer;
}

FileAsker& fileAsker() {
    static FileAsker asker = showFileDialog;
    return asker;
}

ScriptAsker& scriptAsker() {
    static ScriptAsker asker = showScriptDialog;
    return asker;
}

CredentialsAsker& credentialsAsker() {
    static CredentialsAsker asker = showCredentialsDialog;
    return asker;
}

} // namespace

QWidget* parentFor(QWidget* over) {
    QWidget* window = windowOf(over);
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && window != modal && !(window && modal->isAncestorOf(window)))
        return modal;
    return window;
}

int runWithoutBlocking(QDialog& dialog) {
    if (dismissal().ending)
        return QDialog::Rejected;
    const Waiting waiting;
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    showWithoutBlocking(dialog);
    // Ends with the dialog, or when the program ends from the close question.
    loop.exec(QEventLoop::DialogExec);
    return dialog.result();
}

void dismissAll() {
    dismissal().ending = true;
    // Each one leaves the list as it closes.
    const auto open = dismissal().open;
    for (const QPointer<QDialog>& dialog : open)
        if (dialog)
            dialog->reject();
}

int waitingCount() {
    return dismissal().waiting;
}

int openCount() {
    const auto& open = dismissal().open;
    return int(std::count_if(open.begin(), open.end(), [](const auto& d) { return !d.isNull(); }));
}

void askScriptThen(QWidget* over, const ScriptDialog& dialog, QObject* whileAlive,
                   ScriptReply done) {
    if (dismissal().ending)
        return done({asksToLeave(dialog), QString(), false});
    scriptAsker()(over, dialog, whileAlive, std::move(done));
}

ScriptAnswer askScript(QWidget* over, const ScriptDialog& dialog) {
    return waitForScript([&](QObject* whileAlive, ScriptReply done) {
        askScriptThen(over, dialog, whileAlive, std::move(done));
    });
}

ScriptAnswer waitForScript(const std::function<void(QObject* whileAlive, ScriptReply done)>& ask) {
    // Shared with the answer, which may come after the wait (the program
    // quitting ends every loop).
    auto answer = std::make_shared<std::optional<ScriptAnswer>>();
    QEventLoop loop;
    const QPointer<QEventLoop> waiting(&loop);
    ask(&loop, [answer, waiting](const ScriptAnswer& a) {
        *answer = a;
        if (waiting)
            waiting->quit();
    });
    if (!answer->has_value()) {
        const Waiting waiting;
        loop.exec(QEventLoop::DialogExec);
    }
    return answer->value_or(ScriptAnswer{});
}
ScriptAsker setScriptAsker(ScriptAsker asker) {
    return std::exchange(scriptAsker(), std::move(asker));
}

Credentials askCredentials(QWidget* over, const AuthRequest& request) {
    if (dismissal().ending)
        return {};
    const QString key = keyOf(request);
    if (request.proxy && !request.refused && proxyAnswers().contains(request.host))
        return proxyAnswers().value(request.host);
    if (settled().contains(key))
        return settled().value(key);
    if (asking().contains(key)) {
        Credentials answer;
        QEventLoop loop;
        asking()[key].append({&loop, &answer});
        loop.exec(QEventLoop::DialogExec);
        return answer;
    }
    asking().insert(key, {});
    const Credentials answer = credentialsAsker()(over, request);
    settle(request, answer);
    asking().remove(key);
    settled().remove(key);
    return answer;
}

bool isAsking(const AuthRequest& request) {
    return asking().contains(keyOf(request));
}

FileAnswer askFiles(QWidget* over, const FileRequest& request) {
    return fileAsker()(over, request);
}
FileAsker setFileAsker(FileAsker asker) {
    return std::exchange(fileAsker(), std::move(asker));
}

FileDialogHistoryAside::FileDialogHistoryAside() {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, m_folder.path());
}

FileDialogHistoryAside::~FileDialogHistoryAside() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, config);
}

Credentials proxyAnswer(const QString& host) {
    return proxyAnswers().value(host);
}

void forgetProxyAnswers() {
    proxyAnswers().clear();
}
CredentialsAsker setCredentialsAsker(CredentialsAsker asker) {
    return std::exchange(credentialsAsker(), std::move(asker));
}

} // namespace pagedialogs

#include "PageDialogs.h"

#include "AppInfo.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
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

ScriptAnswer showScriptDialog(QWidget* over, const ScriptDialog& d) {
    QDialog dialog(windowOf(over));
    dialog.setWindowTitle(app::title());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plainLabel(QStringLiteral("网页 %1 显示：").arg(d.site), &dialog));
    layout->addWidget(plainLabel(d.text, &dialog));
    QLineEdit* input = nullptr;
    if (d.kind == Kind::Prompt) {
        input = new QLineEdit(d.value, &dialog);
        layout->addWidget(input);
    }
    QCheckBox* escape = nullptr;
    if (d.offerEscape) {
        escape = new QCheckBox(QStringLiteral("不再显示此网页的对话框"), &dialog);
        layout->addWidget(escape);
    }
    layout->addWidget(okCancel(&dialog, d.kind != Kind::Alert));
    ScriptAnswer answer;
    answer.accepted = runWithoutBlocking(dialog) == QDialog::Accepted;
    answer.value = input ? input->text() : QString();
    answer.silence = escape && escape->isChecked();
    return answer;
}

Credentials showCredentialsDialog(QWidget* over, const AuthRequest& r) {
    QDialog dialog(windowOf(over));
    dialog.setWindowTitle(app::title());
    auto* layout = new QVBoxLayout(&dialog);
    const QString who = r.proxy ? QStringLiteral("代理服务器 %1") : QStringLiteral("网站 %1");
    layout->addWidget(
        plainLabel(who.arg(r.host) + QStringLiteral(" 要求输入用户名和密码。"), &dialog));
    if (!r.realm.isEmpty())
        layout->addWidget(plainLabel(QStringLiteral("该网站说：") + r.realm, &dialog));
    auto* form = new QFormLayout;
    auto* user = new QLineEdit(&dialog);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("用户名："), user);
    form->addRow(QStringLiteral("密码："), password);
    layout->addLayout(form);
    layout->addWidget(okCancel(&dialog, true));
    Credentials credentials;
    credentials.given = runWithoutBlocking(dialog) == QDialog::Accepted;
    if (credentials.given) {
        credentials.user = user->text();
        credentials.password = password->text();
    }
    return credentials;
}

struct Dismissal {
    bool ending = false;
    QList<QPointer<QDialog>> open;
};
Dismissal& dismissal() {
    static Dismissal d;
    return d;
}

// Qt asks whether to leave a page (its beforeunload) with this text of its
// own, in the language Qt was given.
bool asksToLeave(const ScriptDialog& d) {
    return d.kind == Kind::Confirm &&
           d.text == QCoreApplication::translate("QWebEnginePage",
                                                 "Are you sure you want to leave this page? "
                                                 "Changes that you made may not be saved.");
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

int runWithoutBlocking(QDialog& dialog) {
    QWidget* window = windowOf(dialog.parentWidget());
    const bool mayVanish = window && window->testAttribute(Qt::WA_DeleteOnClose);
    dialog.setWindowModality(mayVanish ? Qt::WindowModal : Qt::NonModal);
    if (dismissal().ending)
        return QDialog::Rejected;
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dismissal().open.append(&dialog);
    // Ends with the dialog, or when the program ends from the close question.
    loop.exec(QEventLoop::DialogExec);
    dismissal().open.removeAll(&dialog);
    return dialog.result();
}

void dismissAll() {
    dismissal().ending = true;
    for (const QPointer<QDialog>& dialog : std::as_const(dismissal().open))
        if (dialog)
            dialog->reject();
}

int openCount() {
    return int(dismissal().open.size());
}

ScriptAnswer askScript(QWidget* over, const ScriptDialog& dialog) {
    if (dismissal().ending)
        return {asksToLeave(dialog), QString(), false};
    return scriptAsker()(over, dialog);
}
ScriptAsker setScriptAsker(ScriptAsker asker) {
    return std::exchange(scriptAsker(), std::move(asker));
}

Credentials askCredentials(QWidget* over, const AuthRequest& request) {
    if (dismissal().ending)
        return {};
    return credentialsAsker()(over, request);
}
CredentialsAsker setCredentialsAsker(CredentialsAsker asker) {
    return std::exchange(credentialsAsker(), std::move(asker));
}

} // namespace pagedialogs

#include "LoginWindow.h"

#include "AppInfo.h"
#include "ConnectionCheck.h"
#include "Dialler.h"
#include "Twips.h"
#include "WebEngineModule.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

LoginWindow::LoginWindow(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Velantrix产业信息化研究办公室"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twips::size(8040, 4335));
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QApplication::palette("QMenuBar").color(QPalette::Window));
    setPalette(background);
    setAutoFillBackground(true);

    WebBrowser1 = makeWebPane(this);
    WebBrowser1.widget->setObjectName(QStringLiteral("WebBrowser1")); // its zoom is kept by name
    WebBrowser1.widget->setGeometry(twips::rect(0, 0, 8040, 4335));

    CmdLogin = new QPushButton(QStringLiteral("登陆协作网"), this);
    CmdLogin->setGeometry(twips::rect(3000, 3240, 1215, 495));
    CmdLogin->setAutoDefault(false);
    CmdLogin->raise();
    connect(CmdLogin, &QPushButton::clicked, this, &LoginWindow::CmdLogin_Click);

    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

void LoginWindow::Form_Load() {
    WebBrowser1->navigate(app::programFolder() + QStringLiteral("/velantrix.htm"));
}

void LoginWindow::showEvent(QShowEvent* e) {
    awaitingActivation_ = true;
    QDialog::showEvent(e);
}

bool LoginWindow::event(QEvent* e) {
    // Coming back from the question box, or from another program, activates the
    // window again; only the first activation of a showing checks the line.
    if (e->type() == QEvent::WindowActivate && awaitingActivation_) {
        awaitingActivation_ = false;
        // Out of the activation itself, so the question's own event loop does not
        // run inside this event.
        QMetaObject::invokeMethod(this, &LoginWindow::Form_Activate, Qt::QueuedConnection);
    }
    return QDialog::event(e);
}

void LoginWindow::Form_Activate() {
    if (connection::IsDialUpConnected())
        return;
    const bool dial = AskToConnect();
    // Gone before the dialler starts, so that nothing of ours covers its
    // dialog and a dialler that fails is reported over the main window.
    Unload();
    if (dial)
        StartDialler(connection::DiallerCommands());
}

void LoginWindow::CmdLogin_Click() {
    hide();
}

void LoginWindow::Unload() {
    setAttribute(Qt::WA_DeleteOnClose);
    close();
}

LoginWindow* showLoginWindowOnce() {
    static bool shown = false;
    if (shown)
        return nullptr;
    shown = true;
    // No owner: a window of its own, modal to the whole program. Hidden by
    // CmdLogin it stays loaded until the program ends.
    QPointer<LoginWindow> login = new LoginWindow;
    login->exec();
    return login;
}

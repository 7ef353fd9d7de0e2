#pragma once

#include "BrowserPane.h"

#include <QDialog>

class QPushButton;

// The login page window: the local welcome page with a button the user presses
// once logged in. When it comes up it checks the dial-up line.
class LoginWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget* owner = nullptr);

    PaneSlot WebBrowser1;
    QPushButton* CmdLogin;

    void Form_Load();
    // Runs once each time the window is shown, when it first becomes active.
    void Form_Activate();
    void CmdLogin_Click();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Unload();

    bool awaitingActivation_ = false;
};

// Shows the login page window modally, without an owner, and returns when it
// is hidden (the window, still loaded) or unloaded (null). Only the first
// call in a run shows it; later calls return null at once.
LoginWindow* showLoginWindowOnce();

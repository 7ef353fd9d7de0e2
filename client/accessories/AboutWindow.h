#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// What the about box asks of the main window.
struct AboutActions {
    std::function<void(const QString& address)> SendMailTo;
    std::function<void(const QString& address)> OpenNewWindow;
};

// The about box: title, version, a description, a mail link to the webmaster,
// a notice linking to the registration page and the system-information tool.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(AboutActions actions, QWidget* owner = nullptr);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* LabelEmail;
    QLabel* lblDescription;
    QFrame* Picture1;
    QPlainTextEdit* Text1;
    std::array<QFrame*, 2> Line1;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void LabelEmail_Click();
    void lblDisclaimer_Click();
    void StartSysInfo();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    AboutActions actions_;
};

// Shows the about box without blocking; while it is open, brings it up again
// instead of opening a second one.
AboutWindow* showAboutWindow(const AboutActions& actions);

#include "Seams.h"

#include "AppInfo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QProcess>
#include <QWidget>
#include <utility>

namespace seams {
namespace {

Answer showMessageBox(const Message& m) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.title.isEmpty() ? app::title() : m.title);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (m.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    // A box closed without a button gives the answer of its escape button.
    if (m.buttons == Buttons::YesNo)
        return Answer::No;
    return m.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
}

MessageHandler& messageHandler() {
    static MessageHandler handler = showMessageBox;
    return handler;
}

ProgramStarter& programStarter() {
    static ProgramStarter starter = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    return starter;
}

Action& beepAction() {
    static Action action = [] { QApplication::beep(); };
    return action;
}

Action& endAction() {
    // Leaves every event loop, nested ones too, so a handler that asked
    // returns straight into the end of the program.
    static Action action = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
        QCoreApplication::exit(0);
    };
    return action;
}

Clock& clock() {
    static Clock c = [] { return QDateTime::currentDateTime(); };
    return c;
}

} // namespace

Answer showMessage(const Message& message) {
    return messageHandler()(message);
}
MessageHandler setMessageHandler(MessageHandler h) {
    return std::exchange(messageHandler(), std::move(h));
}

bool startProgram(const QString& program, const QStringList& arguments) {
    return programStarter()(program, arguments);
}
ProgramStarter setProgramStarter(ProgramStarter s) {
    return std::exchange(programStarter(), std::move(s));
}

bool startProgramOrWarn(const QString& program, const QStringList& arguments) {
    if (startProgram(program, arguments))
        return true;
    const QString commandLine = (QStringList{program} + arguments).join(QLatin1Char(' '));
    showMessage(
        {QStringLiteral("无法启动：") + commandLine, QString(), Buttons::Ok, Icon::Exclamation});
    return false;
}

void beep() {
    beepAction()();
}
Action setBeep(Action a) {
    return std::exchange(beepAction(), std::move(a));
}

void endProgram() {
    endAction()();
}
Action setEndProgram(Action a) {
    return std::exchange(endAction(), std::move(a));
}

QDateTime now() {
    return clock()();
}
Clock setClock(Clock c) {
    return std::exchange(clock(), std::move(c));
}

} // namespace seams

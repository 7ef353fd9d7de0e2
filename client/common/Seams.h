#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// Everything the client does that a test cannot drive goes through here:
// message boxes, starting programs, the beep, ending the program, the clock.
// Tests install their own handlers and read back what was asked.
namespace seams {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString text;
    QString title; // empty: the application title
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

using MessageHandler = std::function<Answer(const Message&)>;
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
using Action = std::function<void()>;
using Clock = std::function<QDateTime()>;

Answer showMessage(const Message& message);
MessageHandler setMessageHandler(MessageHandler handler); // returns the previous one

// Starts a program detached, in a normal window, without waiting.
bool startProgram(const QString& program, const QStringList& arguments);
ProgramStarter setProgramStarter(ProgramStarter starter);

// Starts `program`; when it cannot be started, says so with "无法启动：" and
// the command line. The client keeps running either way.
bool startProgramOrWarn(const QString& program, const QStringList& arguments = {});

void beep();
Action setBeep(Action beep);

// Ends the program at once: no close question, no unload steps.
void endProgram();
Action setEndProgram(Action end);

QDateTime now();
Clock setClock(Clock clock);

} // namespace seams

#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// What the game does that a test cannot drive: message boxes, the colour
// dialog and ending the program. Tests install their own handlers and read
// back what was asked.
namespace brickvane::seams {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Information };
enum class Answer { Ok, Cancel };

struct Message {
    QString text; // line breaks as CR LF
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

using MessageHandler = std::function<Answer(const Message&)>;
// Nothing when the user cancelled.
using ColourPicker = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
using Action = std::function<void()>;

Answer showMessage(const Message& message);
MessageHandler setMessageHandler(MessageHandler handler); // each setter returns the previous one

std::optional<QColor> pickColour(const QColor& initial, QWidget* parent);
ColourPicker setColourPicker(ColourPicker picker);

// Ends the program at once: no question, no unload steps.
void endProgram();
Action setEndProgram(Action end);

} // namespace brickvane::seams

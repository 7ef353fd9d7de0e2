#include "GameSeams.h"

#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QWidget>
#include <utility>

namespace brickvane::seams {
namespace {

Answer showMessageBox(const Message& m) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.title);
    // The texts keep their CR LF breaks; a label wants bare line feeds.
    box.setText(QString(m.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(m.icon == Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon);
    if (m.buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QColor> showColourDialog(const QColor& initial, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void quitEverything() {
    // Leaves every event loop, nested modal ones too, so the handler that
    // asked returns straight into the end of the program.
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}

MessageHandler& messageHandler() {
    static MessageHandler handler = showMessageBox;
    return handler;
}

ColourPicker& colourPicker() {
    static ColourPicker picker = showColourDialog;
    return picker;
}

Action& endAction() {
    static Action action = quitEverything;
    return action;
}

} // namespace

Answer showMessage(const Message& message) {
    return messageHandler()(message);
}
MessageHandler setMessageHandler(MessageHandler h) {
    return std::exchange(messageHandler(), std::move(h));
}

std::optional<QColor> pickColour(const QColor& initial, QWidget* parent) {
    return colourPicker()(initial, parent);
}
ColourPicker setColourPicker(ColourPicker p) {
    return std::exchange(colourPicker(), std::move(p));
}

void endProgram() {
    endAction()();
}
Action setEndProgram(Action a) {
    return std::exchange(endAction(), std::move(a));
}

} // namespace brickvane::seams

#pragma once

#include <QString>
#include <QtGlobal>

class QToolBar;

// The small set of services the main window takes from its toolbox: a separate
// browser window, a new mail message, the toolbar's flat style and a colour call.
class Toolbox {
public:
    virtual ~Toolbox() = default;

    // False when the window or the mail program could not be opened.
    virtual bool openNewWindow(const QString& address) = 0;
    virtual bool sendMail(const QString& address) = 0;
    // Switches between normal and flat buttons, each call the other way.
    virtual void toggleFlatToolbar(QToolBar* toolbar) = 0;
    // Colour in 0x00BBGGRR form; nothing depends on its effect.
    virtual void setColour(quint32 bgr) = 0;
};

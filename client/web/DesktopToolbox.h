#pragma once

#include "Toolbox.h"

// The toolbox on a desktop: separate browser windows of the client, the
// desktop's mail program, tool buttons that switch between raised and flat.
class DesktopToolbox : public Toolbox {
public:
    bool openNewWindow(const QString& address) override;
    bool sendMail(const QString& address) override;
    void toggleFlatToolbar(QToolBar* toolbar) override;
    void setColour(quint32) override {}

    // Flat: every tool button of the toolbar raises only under the mouse.
    static bool isFlat(const QToolBar* toolbar);
};

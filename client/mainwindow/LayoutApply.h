#pragma once

#include "MainLayout.h"

class QWidget;

namespace layout {

// The widgets the layout moves, one per entry of Controls.
struct Widgets {
    QWidget* FrameMain = nullptr;
    QWidget* FrameBbs = nullptr;
    QWidget* FrameTonghang = nullptr;
    QWidget* FrameTeam = nullptr;
    QWidget* FrameTourist = nullptr;
    QWidget* FrameTouristAll = nullptr;
    QWidget* FrameAd = nullptr;
    QWidget* WebBrowserMain = nullptr;
    QWidget* WebBrowserBbs = nullptr;
    QWidget* WebBrowserCom = nullptr;
    QWidget* WebBrowserTeam = nullptr;
};

// Moves and shows the widgets as the model says, in pixels. Widgets already in
// place are left alone, so a pass that changes nothing costs next to nothing.
void apply(const Controls& controls, const Widgets& widgets);

} // namespace layout

#include "MainLayout.h"

namespace layout {

void Geometry::setWidth(float value) {
    if (value >= 0)
        width = value;
}

void Geometry::setHeight(float value) {
    if (value >= 0)
        height = value;
}

namespace {

Geometry designed(float left, float top, float width, float height) {
    return {left, top, width, height, true};
}

// The controls as drawn; sizes marked "layout" in the design start at 0 and
// are filled in by the first pass.
Controls designedControls() {
    Controls c;
    c.FrameMain = designed(0, 840, 0, 0);
    c.FrameBbs = designed(9120, 840, 2700, 5000);
    c.FrameTonghang = designed(0, 5880, 9000, 2280);
    c.FrameTeam = designed(120, 240, 0, 1935);
    c.FrameTourist = designed(0, 240, 0, 1935);
    c.FrameTouristAll = designed(0, 240, 3495, 1935);
    c.FrameAd = designed(9120, 5880, 2700, 2280);
    c.WebBrowserMain = designed(45, 120, 0, 0);
    c.WebBrowserBbs = designed(45, 140, 0, 0);
    c.WebBrowserCom = designed(30, 170, 0, 0);
    c.WebBrowserTeam = designed(30, 180, 0, 0);
    return c;
}

// Single-precision property, double-precision constant, as the design does.
float scaled(float value, double factor) {
    return float(double(value) * factor);
}

void fitPane(Geometry& pane, const Geometry& frame) {
    pane.setHeight(frame.height - 194);
    pane.setWidth(frame.width - 80);
}

} // namespace

MainLayout::MainLayout() : c(designedControls()) {
    MainHeightReserve = c.FrameTonghang.height + 1498;
    MainWidthReserve = c.FrameBbs.width + 300;
    Form_Resize();
}

void MainLayout::setWindowSize(float width, float height) {
    W = width;
    H = height;
}

void MainLayout::Form_Resize() {
    if (!c.FrameBbs.visible && !c.FrameTonghang.visible) {
        MainWidthReserve = 20;
        MainHeightReserve = 1498;
        state.button17Caption = PanelsOpen;
    } else {
        state.button17Caption = PanelsClose;
    }
    c.FrameMain.setHeight(H - MainHeightReserve);
    c.FrameMain.setWidth(W - MainWidthReserve);
    c.FrameTonghang.top = H - 3000;
    c.FrameTonghang.setWidth(c.FrameMain.width);
    c.FrameTeam.setWidth(scaled(c.FrameTonghang.width - 3600, 0.5));
    c.FrameTourist.setWidth(scaled(c.FrameTonghang.width - 3600, 0.45));
    c.FrameTourist.left = c.FrameTeam.left + c.FrameTeam.width + 120;
    c.FrameTouristAll.left = c.FrameTonghang.width - 3600;
    if (c.FrameBbs.visible) {
        c.FrameBbs.setHeight(c.FrameMain.height - 80);
        c.FrameBbs.setWidth(W - c.FrameMain.width - 220);
        c.FrameBbs.left = c.FrameMain.width + 100;
    }
    if (!c.FrameTonghang.visible) {
        c.FrameAd.visible = false;
    } else {
        c.FrameAd.visible = true;
        c.FrameAd.setHeight(c.FrameTonghang.height);
        c.FrameAd.top = c.FrameTonghang.top;
        c.FrameAd.left = c.FrameTonghang.width + 100;
    }
    fitPane(c.WebBrowserMain, c.FrameMain);
    fitPane(c.WebBrowserBbs, c.FrameBbs);
    fitPane(c.WebBrowserCom, c.FrameTourist);
    fitPane(c.WebBrowserTeam, c.FrameTeam);
}

void MainLayout::showBbs(bool shown) {
    c.FrameBbs.visible = shown;
    state.sysBbsChecked = shown;
}

void MainLayout::showTonghang(bool shown) {
    c.FrameTonghang.visible = shown;
    state.sysTonghangChecked = shown;
}

void MainLayout::SysBbs_Click() {
    if (state.sysBbsChecked) {
        showBbs(false);
        MainWidthReserve = 20;
    } else {
        showBbs(true);
        MainWidthReserve = c.FrameBbs.width + 300;
    }
    Form_Resize();
}

void MainLayout::SysTonghang_Click() {
    if (state.sysTonghangChecked) {
        showTonghang(false);
        MainHeightReserve = 1490;
    } else {
        showTonghang(true);
        MainHeightReserve = c.FrameTonghang.height + 1498;
    }
    Form_Resize();
}

void MainLayout::bothPanelsToggle() {
    if (state.button17Caption == PanelsOpen) {
        showTonghang(true);
        showBbs(true);
        MainHeightReserve = c.FrameTonghang.height + 1498;
        MainWidthReserve = c.FrameBbs.width + 300;
    } else {
        showTonghang(false);
        showBbs(false);
    }
    Form_Resize();
}

void MainLayout::conversationWidthToggle() {
    showBbs(true);
    showTonghang(false);
    MainHeightReserve = 1490;
    const bool entering = state.button16Caption == ConversationOpen;
    state.button16Caption = entering ? ConversationClose : ConversationOpen;
    // The right column is fixed on the way out, not taken from the panel.
    MainWidthReserve = entering ? 11000 : 3000;
    state.panelControlsEnabled = !entering;
    Form_Resize();
}

} // namespace layout

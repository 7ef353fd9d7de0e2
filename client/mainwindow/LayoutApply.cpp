#include "LayoutApply.h"

#include "Twips.h"

#include <QWidget>

namespace layout {
namespace {

void place(QWidget* widget, const Geometry& g) {
    if (!widget)
        return;
    const QRect r = twips::rect(g.left, g.top, g.width, g.height);
    if (widget->geometry() != r)
        widget->setGeometry(r);
    if (widget->isHidden() == g.visible)
        widget->setVisible(g.visible);
}

} // namespace

void apply(const Controls& c, const Widgets& w) {
    place(w.FrameMain, c.FrameMain);
    place(w.FrameBbs, c.FrameBbs);
    place(w.FrameTonghang, c.FrameTonghang);
    place(w.FrameTeam, c.FrameTeam);
    place(w.FrameTourist, c.FrameTourist);
    place(w.FrameTouristAll, c.FrameTouristAll);
    place(w.FrameAd, c.FrameAd);
    place(w.WebBrowserMain, c.WebBrowserMain);
    place(w.WebBrowserBbs, c.WebBrowserBbs);
    place(w.WebBrowserCom, c.WebBrowserCom);
    place(w.WebBrowserTeam, c.WebBrowserTeam);
}

} // namespace layout

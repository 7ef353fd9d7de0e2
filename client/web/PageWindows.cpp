#include "PageWindows.h"

#include "PageRules.h"

#include <QList>
#include <QPointer>
#include <QWebEngineView>
#include <algorithm>

namespace pagewindows {
namespace {

Maker& maker() {
    static Maker m;
    return m;
}

// A window's view goes with its window, which deletes itself when closed.
QList<QPointer<QWebEngineView>>& windows() {
    static QList<QPointer<QWebEngineView>> open;
    open.removeIf([](const QPointer<QWebEngineView>& view) { return view.isNull(); });
    return open;
}

} // namespace

void setMaker(Maker m) {
    maker() = std::move(m);
}

int openCount() {
    const auto& open = windows();
    return int(std::count_if(open.begin(), open.end(), [](const QPointer<QWebEngineView>& view) {
        return view->window()->isVisible();
    }));
}

QWebEngineView* open(Opener opener) {
    if (!maker() || (opener == Opener::Page && openCount() >= pagerules::MaxPageWindows))
        return nullptr;
    QWebEngineView* view = maker()();
    if (view)
        windows().append(view);
    return view;
}

} // namespace pagewindows

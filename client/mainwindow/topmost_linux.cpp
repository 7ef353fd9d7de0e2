#include "Topmost.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace topmost {

bool setTopmost(std::uintptr_t window, bool on) {
    QWidget* widget = QWidget::find(WId(window));
    if (!widget || !widget->isWindow())
        return false;
    // A Wayland compositor keeps the stacking order to itself.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    const Qt::WindowFlags flags = on ? widget->windowFlags() | Qt::WindowStaysOnTopHint
                                     : widget->windowFlags() & ~Qt::WindowStaysOnTopHint;
    // Told to the existing native window rather than through setWindowFlags,
    // which would hide and re-create it and lose its place on screen.
    widget->overrideWindowFlags(flags);
    if (QWindow* native = widget->windowHandle())
        native->setFlags(flags);
    return true;
}

} // namespace topmost

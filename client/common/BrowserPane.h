#pragma once

#include <QString>
#include <cstdint>

class QWidget;

// The operations the client asks of a web pane. Each reports failure the way
// the portal's code expects it: as a result code.
namespace pane {
using Result = std::int32_t;
constexpr Result Ok = 0;
constexpr Result Busy = static_cast<Result>(0x800700AAu); // requested resource in use
constexpr Result Failed = static_cast<Result>(0x80004005u);
} // namespace pane

class BrowserPane {
public:
    virtual ~BrowserPane() = default;

    // Starts loading and returns at once. The address is taken as written.
    virtual pane::Result navigate(const QString& address) = 0;
    virtual pane::Result stop() = 0;
    // Fail at the start (back) or end (forward) of the pane's history.
    virtual pane::Result goBack() = 0;
    virtual pane::Result goForward() = 0;
    virtual pane::Result refresh() = 0;
    // Twips; a negative size is refused and the pane keeps its size.
    virtual pane::Result setWidth(double twips) = 0;
    virtual pane::Result setHeight(double twips) = 0;
};

// A browser pane as the window holds it: the widget it places and the
// operations it calls on it.
struct PaneSlot {
    QWidget* widget = nullptr;
    BrowserPane* browser = nullptr;

    BrowserPane* operator->() const { return browser; }
    explicit operator bool() const { return browser != nullptr; }
};

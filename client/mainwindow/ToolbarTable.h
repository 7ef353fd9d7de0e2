#pragma once

#include <QString>
#include <QStringView>
#include <span>

// Toolbar1's eighteen buttons as data. The click handler dispatches on the
// number only; keys and tooltips are for people.
namespace toolbar {

enum class Action {
    Login,    // peer-help login in WebBrowserBbs
    MainPane, // GotoWeb(PortalBaseUrl + path)
    Forward,  // WebBrowserMain's history
    Back,
    Refresh,            // all five panes
    Calendar,           // the path in the main pane, then the Calendar window
    ConversationToggle, // button 16
    PanelsToggle,       // button 17
};

struct Button {
    int number;
    QStringView key;
    QStringView caption;
    QStringView tooltip; // "%1" stands for the portal's host
    int image;
    Action action;
    QStringView path;
};

constexpr int ImageCount = 19;
constexpr int ImageSize = 25;

std::span<const Button> buttons();
const Button* findButton(int number);
QString tooltipText(const Button& button);

} // namespace toolbar

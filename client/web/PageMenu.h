#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// What the page's context menu offers, in the order shown.
enum class PageCommand {
    Back,
    Forward,
    Reload,
    Copy,
    Paste,
    CopyLink,
    OpenLinkInNewWindow,
    SaveImage,
    Print
};

// What was under the mouse when the menu was asked for.
struct PageMenuContext {
    bool canGoBack = false;
    bool canGoForward = false;
    bool hasSelection = false;
    bool editable = false;
    bool image = false;
    QUrl link;
};

struct PageMenuEntry {
    PageCommand command;
    QString text;
    bool enabled;
    int group; // a separator goes between groups
};

// The entries, Chinese whatever the system: link and image entries only
// where there is one.
QList<PageMenuEntry> pageMenuEntries(const PageMenuContext& context);

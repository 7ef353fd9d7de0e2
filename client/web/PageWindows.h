#pragma once

#include <functional>

class QWebEngineView;

// The client's separate browser windows have one owner, which opens and
// counts them: a page (window.open, a link to a new window) gets none while
// pagerules::MaxPageWindows are open; the user (a menu, the context menu)
// always gets one. The windows themselves are made by the maker the program
// sets at start, which sits above the panes that ask.
namespace pagewindows {

enum class Opener { Page, User };

// Makes a window, shows it and answers its view.
using Maker = std::function<QWebEngineView*()>;
void setMaker(Maker maker);

// The new window's view, or nullptr when refused (or no maker is set).
QWebEngineView* open(Opener opener);

// Separate windows open now.
int openCount();

} // namespace pagewindows

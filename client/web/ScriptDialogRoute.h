#pragma once

#include "PageDialogs.h"

#include <QString>
#include <QUrl>
#include <functional>

class QObject;
class QWebEnginePage;
class QWebEngineProfile;

// A page's alert, confirm and prompt, kept out of the engine's own path. There
// the engine waits for the answer inside its own work, and every pane of the
// program stands still until the user answers. Here the page's own script asks
// us with a request of its own, and only that page's renderer waits.
// Where the request cannot be made (a page being closed, a local page) the
// page falls back to the engine's path.
namespace scriptdialogroute {

// Once, before the first profile is made: the engine takes no new scheme after.
void registerScheme();
// Answers the requests of every page of `profile`.
void serve(QWebEngineProfile* profile);
// True for an address of the route: only a page's own script may ask it.
bool isRouteAddress(const QUrl& url);

struct Question {
    pagedialogs::Kind kind = pagedialogs::Kind::Alert;
    QUrl origin; // of the frame that asks, as the engine tells it
    QString text;
    QString value;
};
// Answers `question` for the page, at once or later, by calling `reply` once.
// `waiting` lives as long as the page waits for the answer.
using Asker = std::function<void(const Question& question, QObject* waiting,
                                 const pagedialogs::ScriptReply& reply)>;

// Sends the alert, confirm and prompt of `page` and its frames to `ask`.
void route(QWebEnginePage* page, Asker ask);
// True while a frame of `page` waits for an answer: its script stands still.
bool isWaiting(const QWebEnginePage* page);

} // namespace scriptdialogroute

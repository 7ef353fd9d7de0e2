#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// Where a download is saved. The user is asked with a save dialog unless a
// test answers instead; an empty answer cancels the download.
using SaveLocationAsker = std::function<QString(const QString& suggestedPath)>;
SaveLocationAsker setSaveLocationAsker(SaveLocationAsker asker); // returns the previous one

// What every page the client shows may and may not do: the five panes, the
// login window's pane and every separate window alike.
namespace pagepolicy {

// The shared profile's settings (no popups without a click, no clipboard
// reading, no full screen) and its downloads.
void applyTo(QWebEngineProfile* profile);

// Gives the view a page held to the rules: only web links followed, few
// separate windows, dialogs the user can leave, permissions refused, the
// user asked for names and passwords, printing with Ctrl+P and window.print().
void guard(QWebEngineView* view, QWebEngineProfile* profile);

// Opens the print preview for the view's page, then says whether it printed.
void print(QWebEngineView* view);

// Shows the preview for `printer`; `paint` prints the page onto it. True when
// the user printed. Tests answer in place of the dialog.
using PrintRunner =
    std::function<bool(QWidget* over, QPrinter* printer, const std::function<void()>& paint)>;
PrintRunner setPrintRunner(PrintRunner runner); // returns the previous one

} // namespace pagepolicy

#pragma once

#include <QWidget>

class QWebEngineView;
class WebEnginePane;

// A separate browser window of the client: one pane on the shared profile,
// titled after its page. It deletes itself when closed, closes when its page
// asks to, and never keeps the program running after the main window.
class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    BrowserWindow();

    // A new window, shown: the maker of separate windows.
    static QWebEngineView* open();

    WebEnginePane* pane() const { return m_pane; }

private:
    WebEnginePane* m_pane;
};

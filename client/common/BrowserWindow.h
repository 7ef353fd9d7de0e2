#pragma once

#include <QWidget>

class WebEnginePane;

// A separate browser window of the client: one pane on the shared profile,
// titled after its page. It deletes itself when closed, closes when its page
// asks to, and never keeps the program running after the main window.
class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    BrowserWindow();

    WebEnginePane* pane() const { return m_pane; }

private:
    WebEnginePane* m_pane;
};

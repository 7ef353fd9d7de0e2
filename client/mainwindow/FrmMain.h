#pragma once

#include "BrowserPane.h"

#include <QMainWindow>
#include <functional>

class QGroupBox;
class QTimer;
class QToolBar;
class QToolButton;
class Toolbox;

// A browser pane as the window holds it: the widget it places and the
// operations it calls on it.
struct PaneSlot {
    QWidget* widget = nullptr;
    BrowserPane* browser = nullptr;

    BrowserPane* operator->() const { return browser; }
    explicit operator bool() const { return browser != nullptr; }
};

// The portal client's main window: five browser panes in their frames, the
// toolbar, and the routines through which the rest of the program shows pages.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from outside, so that tests can hand it fakes.
    struct Services {
        std::function<PaneSlot(QWidget* parent)> makePane; // required
        std::function<Toolbox*()> makeToolbox;             // asked once the window may run
        std::function<bool()> anotherCopyRunning;          // empty: never
        std::function<void()> showLogin;                   // Timer1's tick
        std::function<void(double)> waitSeconds;           // empty: Module1::WaitSeconds
    };

    explicit FrmMain(Services services, QWidget* parent = nullptr);

    // The load handler, run once before the window is first shown. False when
    // another copy runs: the user has been told and the program asked to end.
    bool Form_Load();

    // Shows `address` in the main pane; "" means the portal's home page.
    void GotoWeb(const QString& address);
    // A separate browser window; the panes are left alone.
    void OpenNewWindow(const QString& address);
    // False when no mail message could be started.
    bool SendMailTo(const QString& address);

    void Toolbar1_ButtonClick(int buttonNumber);

    QToolBar* Toolbar1;
    QGroupBox* FrameMain;
    QGroupBox* FrameBbs;
    QGroupBox* FrameTonghang;
    QGroupBox* FrameTeam;
    QGroupBox* FrameTourist;
    QGroupBox* FrameTouristAll;
    QGroupBox* FrameAd;
    QToolButton* Command1;
    QToolButton* Command2;
    QTimer* Timer1;
    Toolbox* Korvatools1 = nullptr;

    // Made by Form_Load, so that a copy that is refused never starts a browser.
    PaneSlot WebBrowserMain;
    PaneSlot WebBrowserAd;
    PaneSlot WebBrowserBbs;
    PaneSlot WebBrowserCom;
    PaneSlot WebBrowserTeam;

    // Twips taken from the window's height and width for FrameMain.
    float MainHeightReserve = 0;
    float MainWidthReserve = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TestFrmMain;

    void GotoCity(const QString& name);
    void Form_QueryUnload(bool& cancel);
    void Form_Unload();
    void Timer1_Timer();

    void buildFrames();
    void buildPanelButtons();
    void createPanes();
    void navigateFirstPages();
    void centreOnScreen();
    bool busyErrorEnds(pane::Result result);
    void endNow();

    Services services_;
    bool unloading_ = false;
    bool ending_ = false;
};

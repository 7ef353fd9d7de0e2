#pragma once

#include "BrowserPane.h"
#include "MainLayout.h"

#include <QHash>
#include <QMainWindow>
#include <QStringView>
#include <functional>

namespace regions {
class ClickLabel;
}
class PaneCycle;
class QAction;
class QGroupBox;
class QTimer;
class QToolBar;
class QToolButton;
class Toolbox;

// The portal client's main window: five browser panes in their frames, the
// toolbar, and the routines through which the rest of the program shows pages.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from outside, so that tests can hand it fakes.
    struct Services {
        std::function<PaneSlot(QWidget* parent)> makePane; // required
        std::function<Toolbox*()> makeToolbox;             // asked once the window may run
        std::function<bool()> anotherCopyRunning;          // empty: never
        std::function<void()> showLogin;                   // Timer1's tick
        std::function<void(double)> waitSeconds;           // empty: waiting::WaitSeconds
        // The accessory windows and the connection check; an empty one does
        // nothing (the network test then counts the line as down).
        std::function<void(QWidget* owner)> showCalendar; // modal
        std::function<void()> showAbout;                  // modeless, raised when open
        std::function<bool()> isDialUpConnected;
        std::function<void()> offerToConnect; // the connection question, then the dialler
        // At exit: cancels the pages' dialogs, now and later; returns how
        // many have yet to return to their pages. Empty: none.
        std::function<int()> dismissPageDialogs;
    };

    explicit MainWindow(Services services, QWidget* parent = nullptr);

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

    // Menu items with handlers of their own; like every item's handler they
    // receive the item's number and ignore it.
    void SysBbs_Click(int index);
    void SysTonghang_Click(int index);
    void SysLogin_Click(int index);
    void SysTop_Click(int index);
    void SysToolBar_Click(int index);
    void SysTest_Click(int index);
    void SysExit_Click(int index);
    void ToolsBbs_Click(int index);
    void HelpThis_Click(int index);
    void HelpGame_Click(int index);
    // Every other item opens its page, in the main pane or a separate window.
    void MenuItem_Click(QStringView control, int index);
    void Command1_Click();
    void Command2_Click();

    // Lays the frames out for the window's current size.
    void Form_Resize();

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
    QHash<QString, QAction*> MenuItems; // by control name
    QList<QAction*> ToolbarButtons;     // button n at n - 1
    QList<regions::ClickLabel*> RegionLabels;
    PaneCycle* Cycle = nullptr; // F6 and Ctrl+Tab, made with the panes

    // Made by Form_Load, so that a copy that is refused never starts a browser.
    PaneSlot WebBrowserMain;
    PaneSlot WebBrowserAd;
    PaneSlot WebBrowserBbs;
    PaneSlot WebBrowserCom;
    PaneSlot WebBrowserTeam;

    // The frame arrangement and the panel state; the window shows what it says.
    layout::MainLayout Layout;
    // Twips taken from the window's height and width for FrameMain; the
    // layout owns them.
    float& MainHeightReserve = Layout.MainHeightReserve;
    float& MainWidthReserve = Layout.MainWidthReserve;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TestMainWindow;

    void GotoCity(const QString& name);
    void Form_QueryUnload(bool& cancel);
    void Form_Unload();
    void unloadOnceDialogsReturn();
    void Timer1_Timer();

    void fitOuterSize();
    void buildFrames();
    void buildPanelButtons();
    void buildCommands();
    void showLayout();
    void peerLogin();
    void createPanes();
    void nameForScreenReaders();
    void orderForKeyboard();
    void navigateFirstPages();
    void centreOnScreen();
    bool busyErrorEnds(pane::Result result);
    void endNow();

    Services services_;
    bool unloading_ = false;
    bool ending_ = false;
    QSize fittedFrame_; // the frame around the size last set to the design
    QSize fittedSize_;
    bool sysTop_ = false;
    bool flatToolbar_ = false;
};

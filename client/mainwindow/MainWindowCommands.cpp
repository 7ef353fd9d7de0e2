// MainWindow's commands: the menu bar, the toolbar, the panel operations and
// the layout routine, the region links and the system menu actions.

#include "MainWindow.h"

#include "AppInfo.h"
#include "LayoutApply.h"
#include "MainWindowTexts.h"
#include "MenuBarBuilder.h"
#include "MenuTable.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "Seams.h"
#include "ToolbarBuilder.h"
#include "ToolbarTable.h"
#include "Toolbox.h"
#include "Topmost.h"
#include "Twips.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int ConversationButton = 16;
constexpr int PanelsButton = 17;
constexpr int SysBbsIndex = 13;
constexpr int SysTonghangIndex = 14;

const QString LoginPage = QStringLiteral("market/login1.asp");

QString gameProgram() {
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("/game.exe");
#else
    const QString name = QStringLiteral("/game");
#endif
    return QDir::toNativeSeparators(app::programFolder() + name);
}

using Handler = void (MainWindow::*)(int);
struct NamedHandler {
    QStringView control;
    Handler handler;
};

constexpr NamedHandler ownHandlers[] = {
    {u"SysBbs", &MainWindow::SysBbs_Click},
    {u"SysTonghang", &MainWindow::SysTonghang_Click},
    {u"SysLogin", &MainWindow::SysLogin_Click},
    {u"SysTop", &MainWindow::SysTop_Click},
    {u"SysToolBar", &MainWindow::SysToolBar_Click},
    {u"SysTest", &MainWindow::SysTest_Click},
    {u"SysExit", &MainWindow::SysExit_Click},
    {u"ToolsBbs", &MainWindow::ToolsBbs_Click},
    {u"HelpThis", &MainWindow::HelpThis_Click},
    {u"HelpGame", &MainWindow::HelpGame_Click},
};

} // namespace

void MainWindow::buildCommands() {
    MenuItems = menus::buildMenuBar(
        menuBar(), [this](QStringView control, int index) { MenuItem_Click(control, index); });
    ToolbarButtons =
        toolbar::buildToolbar(Toolbar1, [this](int number) { Toolbar1_ButtonClick(number); });
    RegionLabels = regions::buildRegionLinks(FrameTouristAll,
                                             [this](const QString& region) { GotoCity(region); });
    connect(Command1, &QToolButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &MainWindow::Command2_Click);
}

// The layout reads the window's outer size, frame, title and menu bar
// included, as designed: on a desktop with classic decorations the frames
// end flush with the client area.
void MainWindow::Form_Resize() {
    const QSize outer = frameGeometry().size();
    Layout.setWindowSize(float(twips::fromPixels(outer.width())),
                         float(twips::fromPixels(outer.height())));
    Layout.Form_Resize();
    showLayout();
}

void MainWindow::showLayout() {
    layout::apply(Layout.controls(),
                  {FrameMain, FrameBbs, FrameTonghang, FrameTeam, FrameTourist, FrameTouristAll,
                   FrameAd, WebBrowserMain.widget, WebBrowserBbs.widget, WebBrowserCom.widget,
                   WebBrowserTeam.widget});
    const layout::PanelState& state = Layout.panels();
    QAction* sysBbs = MenuItems.value(QStringLiteral("SysBbs"));
    QAction* sysTonghang = MenuItems.value(QStringLiteral("SysTonghang"));
    sysBbs->setChecked(state.sysBbsChecked);
    sysTonghang->setChecked(state.sysTonghangChecked);
    ToolbarButtons[ConversationButton - 1]->setText(state.button16Caption);
    ToolbarButtons[PanelsButton - 1]->setText(state.button17Caption);
    for (QAction* a : {sysBbs, sysTonghang, ToolbarButtons[PanelsButton - 1]})
        a->setEnabled(state.panelControlsEnabled);
    Command1->setEnabled(state.panelControlsEnabled);
    Command2->setEnabled(state.panelControlsEnabled);
}

void MainWindow::MenuItem_Click(QStringView control, int index) {
    const menus::Item* item = menus::findItem(control);
    if (!item)
        return;
    switch (item->action) {
    case menus::Action::MainPane:
        GotoWeb(portal::page(item->path.toString()));
        break;
    case menus::Action::NewWindow:
        OpenNewWindow(portal::page(item->path.toString()));
        break;
    case menus::Action::Handler:
        for (const NamedHandler& h : ownHandlers)
            if (h.control == control)
                (this->*h.handler)(index);
        break;
    }
}

// Every step runs whatever the one before it gave: a pane that cannot go back
// or reload is simply passed over.
void MainWindow::Toolbar1_ButtonClick(int buttonNumber) {
    const toolbar::Button* button = toolbar::findButton(buttonNumber);
    if (!button)
        return;
    const QString page = portal::page(button->path.toString());
    switch (button->action) {
    case toolbar::Action::Login:
        if (!Layout.panels().sysBbsChecked)
            SysBbs_Click(SysBbsIndex);
        peerLogin();
        break;
    case toolbar::Action::MainPane:
        GotoWeb(page);
        break;
    case toolbar::Action::Forward:
        if (WebBrowserMain)
            WebBrowserMain->goForward();
        break;
    case toolbar::Action::Back:
        if (WebBrowserMain)
            WebBrowserMain->goBack();
        break;
    case toolbar::Action::Refresh:
        for (const PaneSlot* pane :
             {&WebBrowserMain, &WebBrowserBbs, &WebBrowserAd, &WebBrowserCom, &WebBrowserTeam})
            if (*pane)
                (*pane)->refresh();
        break;
    case toolbar::Action::Calendar:
        GotoWeb(page);
        // The busy question may have ended the program; no window then.
        if (!ending_ && services_.showCalendar)
            services_.showCalendar(this);
        break;
    case toolbar::Action::ConversationToggle:
        Layout.conversationWidthToggle();
        showLayout();
        break;
    case toolbar::Action::PanelsToggle:
        Layout.bothPanelsToggle();
        showLayout();
        break;
    }
}

void MainWindow::SysBbs_Click(int) {
    Layout.SysBbs_Click();
    showLayout();
}

void MainWindow::SysTonghang_Click(int) {
    Layout.SysTonghang_Click();
    showLayout();
}

void MainWindow::Command1_Click() {
    SysTonghang_Click(SysTonghangIndex);
}
void MainWindow::Command2_Click() {
    SysBbs_Click(SysBbsIndex);
}
void MainWindow::ToolsBbs_Click(int) {
    Toolbar1_ButtonClick(ConversationButton);
}

void MainWindow::peerLogin() {
    if (!WebBrowserBbs)
        return;
    WebBrowserBbs->stop();
    WebBrowserBbs->navigate(portal::page(LoginPage));
}

void MainWindow::SysLogin_Click(int) {
    peerLogin();
}

void MainWindow::SysTop_Click(int) {
    // Refused (a Wayland session started with QT_QPA_PLATFORM=wayland): the
    // user hears why, and the mark keeps saying what really holds.
    if (!topmost::setTopmost(std::uintptr_t(winId()), !sysTop_)) {
        seams::showMessage({MainWindowText::topmostUnavailable(), app::title(), seams::Buttons::Ok,
                            seams::Icon::Exclamation});
        MenuItems.value(QStringLiteral("SysTop"))->setChecked(sysTop_);
        return;
    }
    sysTop_ = !sysTop_;
    MenuItems.value(QStringLiteral("SysTop"))->setChecked(sysTop_);
}

void MainWindow::SysToolBar_Click(int) {
    // Without a toolbox nothing switches, so the mark stays as it was.
    if (Korvatools1) {
        Korvatools1->toggleFlatToolbar(Toolbar1);
        flatToolbar_ = !flatToolbar_;
    }
    MenuItems.value(QStringLiteral("SysToolBar"))->setChecked(flatToolbar_);
}

void MainWindow::SysTest_Click(int) {
    if (services_.isDialUpConnected && services_.isDialUpConnected()) {
        seams::showMessage({MainWindowText::connectedNotice(), app::title(), seams::Buttons::Ok,
                            seams::Icon::None});
        return;
    }
    if (services_.offerToConnect)
        services_.offerToConnect();
}

void MainWindow::SysExit_Click(int) {
    close();
}

void MainWindow::HelpThis_Click(int) {
    if (services_.showAbout)
        services_.showAbout();
}

void MainWindow::HelpGame_Click(int) {
    seams::startProgramOrWarn(gameProgram());
}

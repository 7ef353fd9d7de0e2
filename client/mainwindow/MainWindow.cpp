#include "MainWindow.h"

#include "AppInfo.h"
#include "FittedCaptionBox.h"
#include "MainWindowTexts.h"
#include "PaneCycle.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "Seams.h"
#include "ToolbarBuilder.h"
#include "Toolbox.h"
#include "Twips.h"
#include "WaitSeconds.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int LogOffButton = 18;

void place(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(twips::rect(left, top, width, height));
}

QGroupBox* frame(QWidget* parent, const char* name) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent), Timer1(new QTimer(this)), services_(std::move(services)) {
    if (!services_.waitSeconds)
        services_.waitSeconds = waiting::WaitSeconds;
    setWindowTitle(MainWindowText::caption());
    setCentralWidget(new QWidget(this));

    Toolbar1 = new QToolBar(centralWidget());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    place(Toolbar1, 0, 0, 11880, 750);
    buildFrames();
    buildPanelButtons();
    buildCommands();
    nameForScreenReaders();

    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);

#ifndef QT_NO_SESSIONMANAGER
    // A session log-off asks the same question as the close box.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (isVisible() && manager.allowsInteraction() && !close())
            manager.cancel();
    });
#endif
}

// Frames at their designed places; where the layout routine owns a value, the
// one it gives at the window's first size.
void MainWindow::buildFrames() {
    QWidget* client = centralWidget();
    FrameMain = frame(client, "FrameMain");
    place(FrameMain, 0, 840, 9000, 5022);
    FrameBbs = frame(client, "FrameBbs");
    place(FrameBbs, 9120, 840, 2700, 5000);
    FrameTonghang = frame(client, "FrameTonghang");
    place(FrameTonghang, 0, 5880, 9000, 2280);
    FrameAd = frame(client, "FrameAd");
    place(FrameAd, 9120, 5880, 2700, 2280);

    // Qt knows no active-title colour; the touristAll one is the classic one.
    const struct {
        QGroupBox*& box;
        const char* name;
        QString caption;
        QColor colour;
        double left;
        double width;
    } captioned[] = {
        {FrameTeam, "FrameTeam", MainWindowText::teamCaption(),
         palette().color(QPalette::Highlight), 120, 2700},
        {FrameTourist, "FrameTourist", MainWindowText::touristCaption(), QColor(0x0000ff), 2940,
         2430},
        {FrameTouristAll, "FrameTouristAll", MainWindowText::touristAllCaption(), QColor(0x000080),
         5400, 3495},
    };
    for (const auto& c : captioned) {
        c.box = new FittedCaptionBox(c.caption, c.colour, FrameTonghang);
        c.box->setObjectName(QString::fromLatin1(c.name));
        place(c.box, c.left, 240, c.width, 1935);
    }
}

void MainWindow::buildPanelButtons() {
    const QIcon hide = style()->standardIcon(QStyle::SP_TitleBarCloseButton);
    Command1 = new QToolButton(FrameTonghang);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(MainWindowText::command1Tip());
    Command2 = new QToolButton(FrameBbs);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(MainWindowText::command2Tip());
    for (QToolButton* button : {Command1, Command2}) {
        button->setIcon(hide);
        place(button, 30, 120, 495, 340);
    }
}

void MainWindow::createPanes() {
    struct Design {
        PaneSlot& slot;
        QWidget* frame;
        const char* name;
        double left, top, width, height;
    };
    const Design panes[] = {
        {WebBrowserMain, FrameMain, "WebBrowserMain", 45, 120, 8920, 4828},
        {WebBrowserBbs, FrameBbs, "WebBrowserBbs", 45, 140, 2620, 4806},
        {WebBrowserTeam, FrameTeam, "WebBrowserTeam", 30, 180, 2620, 1741},
        {WebBrowserCom, FrameTourist, "WebBrowserCom", 30, 170, 2350, 1741},
        {WebBrowserAd, FrameAd, "WebBrowserAd", 45, 140, 2620, 2110},
    };
    for (const Design& d : panes) {
        d.slot = services_.makePane(d.frame);
        d.slot.widget->setObjectName(QString::fromLatin1(d.name));
        place(d.slot.widget, d.left, d.top, d.width, d.height);
    }
    // Over the panes, so that they stay clickable.
    Command1->raise();
    Command2->raise();
    WebBrowserMain.widget->setAccessibleName(MainWindowText::mainPaneName());
    WebBrowserBbs.widget->setAccessibleName(MainWindowText::bbsName());
    WebBrowserTeam.widget->setAccessibleName(FrameTeam->title().trimmed());
    WebBrowserCom.widget->setAccessibleName(FrameTourist->title());
    WebBrowserAd.widget->setAccessibleName(MainWindowText::adName());
    orderForKeyboard();
}

// A screen reader names what the eye sees: the frames by their captions or
// roles, the icon-only hide buttons by their tooltips.
void MainWindow::nameForScreenReaders() {
    Toolbar1->setAccessibleName(MainWindowText::toolbarName());
    FrameMain->setAccessibleName(MainWindowText::mainPaneName());
    FrameBbs->setAccessibleName(MainWindowText::bbsName());
    FrameTonghang->setAccessibleName(MainWindowText::tonghangName());
    FrameAd->setAccessibleName(MainWindowText::adName());
    for (QGroupBox* box : {FrameTeam, FrameTourist, FrameTouristAll})
        box->setAccessibleName(box->title().trimmed());
    Command1->setAccessibleName(MainWindowText::command1Tip());
    Command2->setAccessibleName(MainWindowText::command2Tip());
}

// Tab goes through the window as it reads, top to bottom and left to right;
// F6 jumps from part to part, web pages included.
void MainWindow::orderForKeyboard() {
    QList<QWidget*> order;
    for (QAction* a : ToolbarButtons) {
        QWidget* button = Toolbar1->widgetForAction(a);
        button->setFocusPolicy(Qt::TabFocus);
        order << button;
    }
    order << WebBrowserMain.widget << Command2 << WebBrowserBbs.widget << Command1
          << WebBrowserTeam.widget << WebBrowserCom.widget;
    for (regions::ClickLabel* label : RegionLabels)
        order << label;
    order << WebBrowserAd.widget;
    chainTabOrder(order);

    Cycle = new PaneCycle(this, {{Toolbar1, order.first()},
                                 {FrameMain, WebBrowserMain.widget},
                                 {FrameBbs, WebBrowserBbs.widget},
                                 {FrameTeam, WebBrowserTeam.widget, Command1},
                                 {FrameTourist, WebBrowserCom.widget},
                                 {FrameTouristAll, RegionLabels.value(0)},
                                 {FrameAd, WebBrowserAd.widget}});
}

bool MainWindow::Form_Load() {
    if (services_.anotherCopyRunning && services_.anotherCopyRunning()) {
        seams::showMessage({MainWindowText::alreadyRunning(), QString(), seams::Buttons::Ok,
                            seams::Icon::Exclamation});
        endNow();
        return false;
    }
    createPanes();
    if (services_.makeToolbox)
        Korvatools1 = services_.makeToolbox();
    fitOuterSize();
    centreOnScreen();
    Timer1->start(500);
    if (Korvatools1)
        Korvatools1->setColour(0x0000FF); // red, as 0x00BBGGRR
    MainHeightReserve = float(twips::fromPixels(FrameTonghang->height())) + 1498.0f;
    MainWidthReserve = float(twips::fromPixels(FrameBbs->width())) + 300.0f;
    navigateFirstPages();
    return true;
}

// One after another, without waiting for a page; a pane that fails keeps the
// others loading.
void MainWindow::navigateFirstPages() {
    WebBrowserAd->navigate(portal::page(QStringLiteral("market\\ad.asp")));
    WebBrowserMain->navigate(app::programFolder() + QStringLiteral("/velantrix.htm"));
    WebBrowserBbs->navigate(portal::page(QStringLiteral("chat/")));
    WebBrowserCom->navigate(portal::page(QStringLiteral("chat/VIEWROOM2.asp")));
    WebBrowserTeam->navigate(portal::page(QStringLiteral("tonghang/infolist-mem.asp")));
}

// The designed size is the outer one, frame and title bar included. The frame
// is known only once the window system has made it, so the size is set again
// when it changes, as long as the user has not resized the window.
void MainWindow::fitOuterSize() {
    fittedFrame_ = frameGeometry().size() - size();
    fittedSize_ = twips::size(12000, 8800) - fittedFrame_;
    resize(fittedSize_);
}

bool MainWindow::event(QEvent* e) {
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) &&
        size() == fittedSize_ && frameGeometry().size() - size() != fittedFrame_)
        fitOuterSize();
    return QMainWindow::event(e);
}

void MainWindow::centreOnScreen() {
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());
}

void MainWindow::Timer1_Timer() {
    Timer1->stop();
    if (services_.showLogin)
        services_.showLogin();
}

// The busy error is the one failure the user hears of; it ends the call either
// way, and the program too if the user agrees.
bool MainWindow::busyErrorEnds(pane::Result result) {
    if (result != pane::Busy)
        return false;
    const seams::Answer answer = seams::showMessage(
        {MainWindowText::busyQuestion(), app::title(), seams::Buttons::YesNo, seams::Icon::None});
    if (answer == seams::Answer::Yes)
        endNow();
    return true;
}

void MainWindow::GotoWeb(const QString& address) {
    if (!WebBrowserMain)
        return;
    if (busyErrorEnds(WebBrowserMain->stop()))
        return;
    busyErrorEnds(WebBrowserMain->navigate(address.isEmpty() ? portal::baseUrl() : address));
}

void MainWindow::GotoCity(const QString& name) {
    if (!WebBrowserMain)
        return;
    WebBrowserMain->stop();
    WebBrowserMain->navigate(portal::page(QStringLiteral("tonghang/allcom.asp?city=")) + name);
}

void MainWindow::OpenNewWindow(const QString& address) {
    if (Korvatools1)
        Korvatools1->openNewWindow(address.isEmpty() ? portal::baseUrl() : address);
}

bool MainWindow::SendMailTo(const QString& address) {
    return Korvatools1 && Korvatools1->sendMail(address);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Already on its way out: the question has been answered.
    if (unloading_) {
        event->ignore();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    // A page dialog still open holds its page, and its wait is on the stack
    // below this call: cancelled, it must first return to its page before
    // the exit page can load and the wait begins.
    if (services_.dismissPageDialogs && services_.dismissPageDialogs() > 0) {
        unloading_ = true;
        event->ignore();
        unloadOnceDialogsReturn();
        return;
    }
    Form_Unload();
    event->accept();
}

void MainWindow::unloadOnceDialogsReturn() {
    QTimer::singleShot(10, this, [this] {
        if (services_.dismissPageDialogs() > 0)
            unloadOnceDialogsReturn();
        else
            Form_Unload();
    });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The toolbar keeps to the top edge across the whole width.
    Toolbar1->resize(centralWidget()->width(), Toolbar1->height());
    toolbar::fitButtons(Toolbar1);
    Form_Resize();
}

void MainWindow::Form_QueryUnload(bool& cancel) {
    const seams::Answer answer = seams::showMessage({MainWindowText::closeQuestion(), app::title(),
                                                     seams::Buttons::YesNo, seams::Icon::Question});
    cancel = answer != seams::Answer::Yes;
}

void MainWindow::Form_Unload() {
    unloading_ = true;
    Toolbar1_ButtonClick(LogOffButton);
    if (ending_)
        return;
    // Time for the exit page's request to reach the portal.
    services_.waitSeconds(4);
    if (ending_)
        return;
    seams::beep();
    endNow();
}

void MainWindow::endNow() {
    if (ending_)
        return;
    ending_ = true;
    seams::endProgram();
}

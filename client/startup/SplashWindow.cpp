#include "SplashWindow.h"

#include "AppInfo.h"
#include "Portal.h"
#include "Seams.h"
#include "Shortcuts.h"
#include "Twips.h"

#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

// The artwork lives in a static library: its resources must be pulled in.
static void initSplashResources() {
    Q_INIT_RESOURCE(splash);
}

SplashWindow::SplashWindow(shelllink::ShellLinkBackend& links, std::function<void()> showMain,
                           QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), Pic1(new QWidget(this)),
      Img1(new QLabel(Pic1)), Timer1(new QTimer(this)), links_(links),
      showMain_(std::move(showMain)) {
    initSplashResources();
    setWindowTitle(app::title());
    Img1->setScaledContents(true);
    Img1->setPixmap(QPixmap(QStringLiteral(":/splash.jpg")));
    Img1->setGeometry(twips::rect(0, 0, 6000, 4800));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
}

void SplashWindow::Form_Load() {
    WriteUrlShortcut();
    CreateShortcuts();
    setFixedSize(twips::size(6000, 4800));
    Pic1->setGeometry(0, 0, width(), height());
    Img1->setGeometry(Pic1->geometry());
    // Armed only now, so the splash stays a full second however long the
    // shortcuts took.
    Timer1->start(1000);
    seams::beep();
    centreOnScreen();
}

void SplashWindow::WriteUrlShortcut() {
    shortcuts::writeInternetShortcut(links_, portal::rootAddress());
}

void SplashWindow::CreateShortcuts() {
    if (const auto failure = shortcuts::createLinks(links_, app::programFolder()))
        seams::showMessage({*failure, QString(), seams::Buttons::Ok, seams::Icon::None});
}

void SplashWindow::Timer1_Timer() {
    Timer1->stop();
    // Hidden rather than closed: closing the only window would end the program.
    hide();
    if (showMain_)
        showMain_();
    deleteLater();
}

void SplashWindow::centreOnScreen() {
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

#include "SplashWindow.h"

#include "AppInfo.h"
#include "Portal.h"
#include "Seams.h"
#include "Shortcuts.h"
#include "Twips.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QResource>
#include <QScreen>
#include <QTimer>
#include <QtEndian>

namespace {

// The artwork as the build decoded it (splash_pixels.cpp): width, height, then
// the pixels, 32-bit little-endian numbers all. Copied, not decoded, so no
// image decoder loads on the way to the first window.
QPixmap artwork() {
    const QResource pixels(QStringLiteral(":/splash.pixels"));
    const uchar* data = pixels.data();
    constexpr qint64 header = 8, largest = 4096;
    if (!data || pixels.compressionAlgorithm() != QResource::NoCompression ||
        pixels.size() < header)
        return {};
    const auto width = qFromLittleEndian<quint32>(data);
    const auto height = qFromLittleEndian<quint32>(data + 4);
    if (width == 0 || height == 0 || width > largest || height > largest ||
        pixels.size() != header + qint64(width) * height * 4)
        return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        qFromLittleEndian<quint32>(data + header + qint64(y) * width * 4, width, image.scanLine(y));
    return QPixmap::fromImage(std::move(image));
}

} // namespace

SplashWindow::SplashWindow(shelllink::ShellLinkBackend& links, std::function<void()> showMain,
                           QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), Pic1(new QWidget(this)),
      Img1(new QLabel(Pic1)), Timer1(new QTimer(this)), links_(links),
      showMain_(std::move(showMain)) {
    setWindowTitle(app::title());
    Img1->setScaledContents(true);
    Img1->setPixmap(artwork());
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

#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace shelllink {
class ShellLinkBackend;
}

// The splash window: writes the shortcuts, shows the artwork for a second,
// then hands over to the main window and deletes itself.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // `showMain` is run by the tick that ends the splash.
    SplashWindow(shelllink::ShellLinkBackend& links, std::function<void()> showMain,
                 QWidget* parent = nullptr);

    // Everything that happens before the window becomes visible.
    void Form_Load();

    QWidget* Pic1;
    QLabel* Img1;
    QTimer* Timer1;

private:
    void WriteUrlShortcut();
    void CreateShortcuts();
    void Timer1_Timer();
    void centreOnScreen();

    shelllink::ShellLinkBackend& links_;
    std::function<void()> showMain_;
};

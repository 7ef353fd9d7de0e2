// One copy of the main window with the real single-instance rule and fake
// panes. Says on standard output what it was told and whether it loaded;
// runs until it ends itself or is killed.

#include "Fakes.h"
#include "FrmMain.h"
#include "Seams.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {
void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    seams::setMessageHandler([](const seams::Message& m) {
        say("message " + m.text);
        return seams::Answer::Ok;
    });
    seams::setEndProgram([] {
        say(QStringLiteral("ended"));
        QCoreApplication::exit(3);
    });

    SingleInstance instance(SingleInstance::lockPathFor(QStringLiteral("Orvanta")));
    QStringList paneCalls;
    FrmMain::Services services;
    services.makePane = [&](QWidget* parent) { return makeFakePane(parent, &paneCalls); };
    services.anotherCopyRunning = [&] { return instance.anotherCopyRunning(); };
    FrmMain window(std::move(services));
    QTimer::singleShot(0, &window, [&] {
        if (window.Form_Load())
            say(QStringLiteral("loaded"));
    });
    return app.exec();
}

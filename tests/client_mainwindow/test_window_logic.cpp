// The main window's parts that need no widgets: the frame arithmetic, the
// one-copy lock and the wait that keeps events going.

#include "MainLayout.h"
#include "SingleInstance.h"
#include "WaitSeconds.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <ctime>
#include <optional>

using layout::Controls;
using layout::MainLayout;

namespace {

using Operation = void (MainLayout::*)();
constexpr Operation Bbs = &MainLayout::SysBbs_Click, Tonghang = &MainLayout::SysTonghang_Click,
                    Panels = &MainLayout::bothPanelsToggle,
                    Wide = &MainLayout::conversationWidthToggle;

// The frames shown (Bbs, Tonghang, Ad), the captions of buttons 16 and 17,
// whether the panel controls can be used, the two menu ticks, and the main
// frame's width x height.
QString lookOf(const MainLayout& m) {
    const Controls& c = m.controls();
    const layout::PanelState& p = m.panels();
    return QStringLiteral("%1%2%3 %4 %5 %6 %7%8 %9x%10")
        .arg(c.FrameBbs.visible ? "B" : "-", c.FrameTonghang.visible ? "T" : "-",
             c.FrameAd.visible ? "A" : "-", p.button16Caption, p.button17Caption,
             p.panelControlsEnabled ? "on" : "off", p.sysBbsChecked ? "b" : "-",
             p.sysTonghangChecked ? "t" : "-", QString::number(c.FrameMain.width),
             QString::number(c.FrameMain.height));
}

// Every control's place, size and visibility, a control a string.
QStringList numbers(const Controls& c) {
    QStringList all;
    for (const layout::Geometry& g :
         {c.FrameMain, c.FrameBbs, c.FrameTonghang, c.FrameTeam, c.FrameTourist, c.FrameTouristAll,
          c.FrameAd, c.WebBrowserMain, c.WebBrowserBbs, c.WebBrowserCom, c.WebBrowserTeam})
        all << QString::asprintf("%.9g %.9g %.9g %.9g %d", g.left, g.top, g.width, g.height,
                                 g.visible);
    return all;
}

// A fresh window after `first` (the load state when null), then resized if
// a width is given.
MainLayout after(Operation first, float width = -1, float height = 8800) {
    MainLayout m;
    if (first)
        (m.*first)();
    if (width >= 0) {
        m.setWindowSize(width, height);
        m.Form_Resize();
    }
    return m;
}

} // namespace

class TestWindowLogic : public QObject {
    Q_OBJECT
private slots:
    // The load state, every arrangement (reached from it by its first
    // operation) and every operation on it. Each ends with a layout pass in
    // the 12000 x 8800 window; the right column comes back at the panel's
    // width plus 300, or 3000 from wide mode.
    void panelOperationsMoveBetweenArrangements() {
        // FrameMain, FrameBbs, FrameTonghang, FrameTeam, FrameTourist,
        // FrameTouristAll, FrameAd, WebBrowserMain, WebBrowserBbs, WebBrowserCom,
        // WebBrowserTeam: left, top, width, height, shown.
        QCOMPARE(numbers(MainLayout().controls()),
                 QStringList({"0 840 9000 5022 1", "9100 840 2780 4942 1", "0 5800 9000 2280 1",
                              "120 240 2700 1935 1", "2940 240 2430 1935 1", "5400 240 3495 1935 1",
                              "9100 5800 2700 2280 1", "45 120 8920 4828 1", "45 140 2700 4748 1",
                              "30 170 2350 1741 1", "30 180 2620 1741 1"}));
        const std::tuple<Operation, Operation, const char*> cases[] = {
            {nullptr, nullptr, "BTA 对话开 面板关 on bt 9000x5022"},
            {nullptr, Bbs, "-TA 对话开 面板关 on -t 11980x5022"},
            {nullptr, Tonghang, "B-- 对话开 面板关 on b- 9000x7310"},
            {nullptr, Panels, "--- 对话开 面板开 on -- 11980x7302"},
            {nullptr, Wide, "B-- 对话关 面板关 off b- 1000x7310"},
            {Tonghang, Bbs, "--- 对话开 面板开 on -- 11980x7302"},
            {Tonghang, Tonghang, "BTA 对话开 面板关 on bt 9000x5022"},
            {Tonghang, Panels, "--- 对话开 面板开 on -- 11980x7302"},
            {Tonghang, Wide, "B-- 对话关 面板关 off b- 1000x7310"},
            {Bbs, Bbs, "BTA 对话开 面板关 on bt 8920x5022"},
            {Bbs, Tonghang, "--- 对话开 面板开 on -- 11980x7302"},
            {Bbs, Panels, "--- 对话开 面板开 on -- 11980x7302"},
            {Bbs, Wide, "B-- 对话关 面板关 off b- 1000x7310"},
            {Panels, Bbs, "B-- 对话开 面板关 on b- 8920x7302"},
            {Panels, Tonghang, "-TA 对话开 面板关 on -t 11980x5022"},
            {Panels, Panels, "BTA 对话开 面板关 on bt 8920x5022"},
            {Panels, Wide, "B-- 对话关 面板关 off b- 1000x7310"},
            {Wide, Wide, "B-- 对话开 面板关 on b- 9000x7310"},
        };
        for (const auto& [first, then, look] : cases) {
            MainLayout m = after(first);
            if (then)
                (m.*then)();
            QVERIFY2(lookOf(m) == QString::fromUtf8(look),
                     qPrintable(lookOf(after(first)) + " then " + lookOf(m)));
        }
        const MainLayout peerCentre = after(Bbs); // the advertisement beyond the right edge
        QCOMPARE(peerCentre.controls().FrameAd.left, peerCentre.windowWidth() + 80);
    }

    // Minimised, the window refuses the negative sizes and keeps the old ones;
    // restored, it is laid out exactly as before. Wide mode below 11000 keeps
    // the main frame's width too: 10000 - 11000 is refused, and so is
    // (1000 - 3600) x 0.5 for FrameTeam.
    void tooSmallSizesKeepTheOldOnes() {
        for (const Operation first : {Operation(), Wide, Panels}) {
            const float side = first == Panels ? 0 : 2400;
            const Controls before = after(first).controls();
            MainLayout m = after(first, side, side * 3 / 16);
            QCOMPARE(numbers(m.controls())[0], numbers(before)[0]); // FrameMain
            m.setWindowSize(12000, 8800);
            m.Form_Resize();
            QCOMPARE(numbers(m.controls()), numbers(before));
        }
        const Controls c = after(Wide, 10000).controls();
        QCOMPARE(QList<float>({c.FrameMain.width, c.FrameBbs.width, c.FrameTeam.width}),
                 QList<float>({1000, 10000 - 1000 - 220, 2700}));
    }

    // A lock file no running copy holds never keeps the program out, whatever
    // it says: none, empty, garbled, another host's, a killed copy's, a live
    // process's that is no copy. The copy that takes it over then holds it for
    // real (a second holder in this process stands in for a second copy).
    void abandonedLockIsTakenOverAndThenHeld() {
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const std::optional<QByteArray> cases[] = {
            std::nullopt,
            QByteArray(),
            QByteArray("\x00\xff\xfe lock?\n", 10),
            "4242\nOrvanta\nanother-host.example\n",
            "2147483646\nOrvanta\n" + host + '\n',
            QByteArray::number(QCoreApplication::applicationPid()) + "\nOrvanta\n" + host + '\n'};
        for (const std::optional<QByteArray>& contents : cases) {
            QTemporaryDir runtime;
            const QString lock = runtime.filePath("Orvanta.lock");
            if (QFile file(lock); contents)
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(*contents) >= 0);
            {
                SingleInstance first(lock);
                QVERIFY(!first.anotherCopyRunning());
                QVERIFY(!first.anotherCopyRunning()); // asking again keeps it
                QVERIFY(SingleInstance(lock).anotherCopyRunning());
            }
            QVERIFY(!SingleInstance(lock).anotherCopyRunning()); // the holder ended
        }
        // Without a runtime folder the program runs.
        QVERIFY(!SingleInstance(QString()).anotherCopyRunning());
        QVERIFY(SingleInstance::lockPathFor("Orvanta").endsWith("/Orvanta.lock"));
    }

    // Events go on while it waits; it sleeps rather than spins; nothing to
    // wait for returns at once; the program ending ends the wait (last: it
    // tells every event loop to end).
    void waitsWhileDispatchingEvents() {
        bool queuedRan = false;
        QTimer::singleShot(0, this, [&] { queuedRan = true; });
        const std::clock_t cpuBefore = std::clock();
        QElapsedTimer clock;
        clock.start();
        waiting::WaitSeconds(1.0);
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QVERIFY2(clock.elapsed() >= 995 && queuedRan, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(cpu < 0.3 * clock.elapsed() / 1000.0, qPrintable(QString::number(cpu)));
        for (const double nothing : {0.0, -4.0, std::nan("")}) {
            clock.restart();
            waiting::WaitSeconds(nothing);
            QVERIFY(clock.elapsed() < 2000);
        }
        QTimer::singleShot(100, this, [] { QCoreApplication::exit(0); });
        clock.restart();
        waiting::WaitSeconds(30);
        QVERIFY(clock.elapsed() < 20000);
    }
};

QTEST_GUILESS_MAIN(TestWindowLogic)
#include "test_window_logic.moc"

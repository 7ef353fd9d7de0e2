#include "MainLayout.h"

#include <QRandomGenerator>
#include <QTest>
#include <array>

using layout::Controls;
using layout::MainLayout;

namespace {

using Operation = void (MainLayout::*)();
constexpr Operation Bbs = &MainLayout::SysBbs_Click, Tonghang = &MainLayout::SysTonghang_Click,
                    Panels = &MainLayout::bothPanelsToggle,
                    Wide = &MainLayout::conversationWidthToggle;

// The frames shown (Bbs, Tonghang, Ad), the captions of buttons 16 and 17 and
// whether the panel controls can be used.
QString lookOf(const MainLayout& m) {
    const Controls& c = m.controls();
    const layout::PanelState& p = m.panels();
    return QStringLiteral("%1%2%3 %4 %5 %6")
        .arg(c.FrameBbs.visible ? "B" : "-", c.FrameTonghang.visible ? "T" : "-",
             c.FrameAd.visible ? "A" : "-", p.button16Caption, p.button17Caption,
             p.panelControlsEnabled ? "on" : "off");
}

// Every control's place, size and visibility.
QList<float> numbers(const Controls& c) {
    QList<float> all;
    for (const layout::Geometry& g :
         {c.FrameMain, c.FrameBbs, c.FrameTonghang, c.FrameTeam, c.FrameTourist, c.FrameTouristAll,
          c.FrameAd, c.WebBrowserMain, c.WebBrowserBbs, c.WebBrowserCom, c.WebBrowserTeam})
        all << g.left << g.top << g.width << g.height << float(g.visible);
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

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void loadSizeGivesTheWorkedExample() {
        const MainLayout m;
        // clang-format off
        QCOMPARE(numbers(m.controls()), QList<float>({
            0, 840, 9000, 5022, 1,      // FrameMain
            9100, 840, 2780, 4942, 1,   // FrameBbs
            0, 5800, 9000, 2280, 1,     // FrameTonghang
            120, 240, 2700, 1935, 1,    // FrameTeam
            2940, 240, 2430, 1935, 1,   // FrameTourist
            5400, 240, 3495, 1935, 1,   // FrameTouristAll
            9100, 5800, 2700, 2280, 1,  // FrameAd
            45, 120, 8920, 4828, 1,     // WebBrowserMain
            45, 140, 2700, 4748, 1,     // WebBrowserBbs
            30, 170, 2350, 1741, 1,     // WebBrowserCom
            30, 180, 2620, 1741, 1}));  // WebBrowserTeam
        // clang-format on
        QCOMPARE(lookOf(m), QStringLiteral("BTA 对话开 面板关 on"));
    }

    // Every arrangement (reached from the load state by its first operation)
    // and every operation on it. Each ends with a layout pass; the right
    // column comes back at the panel's width plus 300, or 3000 from wide mode.
    void panelOperationsMoveBetweenArrangements() {
        const std::tuple<Operation, Operation, const char*, float, float> cases[] = {
            {nullptr, Bbs, "-TA 对话开 面板关 on", 20, 3778},
            {nullptr, Tonghang, "B-- 对话开 面板关 on", 3000, 1490},
            {nullptr, Panels, "--- 对话开 面板开 on", 20, 1498},
            {nullptr, Wide, "B-- 对话关 面板关 off", 11000, 1490},
            {Tonghang, Bbs, "--- 对话开 面板开 on", 20, 1498},
            {Tonghang, Tonghang, "BTA 对话开 面板关 on", 3000, 3778},
            {Tonghang, Panels, "--- 对话开 面板开 on", 20, 1498},
            {Tonghang, Wide, "B-- 对话关 面板关 off", 11000, 1490},
            {Bbs, Bbs, "BTA 对话开 面板关 on", 3080, 3778},
            {Bbs, Tonghang, "--- 对话开 面板开 on", 20, 1498},
            {Bbs, Panels, "--- 对话开 面板开 on", 20, 1498},
            {Bbs, Wide, "B-- 对话关 面板关 off", 11000, 1490},
            {Panels, Bbs, "B-- 对话开 面板关 on", 3080, 1498},
            {Panels, Tonghang, "-TA 对话开 面板关 on", 20, 3778},
            {Panels, Panels, "BTA 对话开 面板关 on", 3080, 3778},
            {Panels, Wide, "B-- 对话关 面板关 off", 11000, 1490},
            {Wide, Wide, "B-- 对话开 面板关 on", 3000, 1490},
        };
        for (const auto& [first, then, look, widthReserve, heightReserve] : cases) {
            MainLayout m = after(first);
            (m.*then)();
            QVERIFY2(lookOf(m) == QString::fromUtf8(look),
                     qPrintable(lookOf(after(first)) + " then " + lookOf(m)));
            const layout::Geometry& main = m.controls().FrameMain;
            QVERIFY(m.MainWidthReserve == widthReserve && main.width == 12000 - widthReserve &&
                    m.MainHeightReserve == heightReserve && main.height == 8800 - heightReserve);
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
            const Controls small = after(first, side, side * 3 / 16).controls();
            QCOMPARE(small.FrameMain.width, before.FrameMain.width);
            QCOMPARE(small.FrameMain.height, before.FrameMain.height);
            MainLayout m = after(first, side, side * 3 / 16);
            m.setWindowSize(12000, 8800);
            m.Form_Resize();
            QCOMPARE(numbers(m.controls()), numbers(before));
        }
        QCOMPARE(after(Wide).controls().FrameBbs.width, 10780.f);
        const Controls c = after(Wide, 10000).controls();
        QCOMPARE(QList<float>({c.FrameMain.width, c.FrameBbs.width, c.FrameTeam.width}),
                 QList<float>({1000, 10000 - 1000 - 220, 2700}));
    }

    // Any mix of panel operations and window sizes leaves the ticks equal to
    // the panels' visibility and no size negative.
    void randomOperationsAndSizes() {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QByteArray where = "seed " + QByteArray::number(seed);
        MainLayout m;
        for (int step = 0; step < 20000; ++step) {
            const int what = random.bounded(6); // wide mode leaves only button 16
            if (what < 4 && (what == 3 || !m.wideConversation()))
                (m.*std::array{Bbs, Tonghang, Panels, Wide}[what])();
            m.setWindowSize(float(random.bounded(-100, 40000)), float(random.bounded(-100, 30000)));
            m.Form_Resize();
            const Controls& c = m.controls();
            const layout::PanelState& p = m.panels();
            QVERIFY2(p.sysBbsChecked == c.FrameBbs.visible &&
                         p.sysTonghangChecked == c.FrameTonghang.visible &&
                         p.panelControlsEnabled != m.wideConversation(),
                     where);
            const QList<float> all = numbers(c);
            for (int i = 2; i < all.size(); i += 5)
                QVERIFY2(all[i] >= 0 && all[i + 1] >= 0, where);
        }
    }
};

QTEST_APPLESS_MAIN(TestLayout)
#include "test_layout.moc"

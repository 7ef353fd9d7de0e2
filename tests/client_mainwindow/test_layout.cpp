#include "MainLayout.h"

#include <QRandomGenerator>
#include <QTest>

using layout::Controls;
using layout::Geometry;
using layout::MainLayout;

namespace {

using Operation = void (MainLayout::*)();
enum Arrangement { Both, PeerHelpOnly, PeerCentreOnly, NoPanels, Wide };

// How a user reaches each arrangement from the load state, and what it shows:
// the visible frames, the captions of buttons 16 and 17, the panel controls.
const Operation reachedBy[] = {nullptr, &MainLayout::SysTonghang_Click, &MainLayout::SysBbs_Click,
                               &MainLayout::bothPanelsToggle, &MainLayout::conversationWidthToggle};
const char* const looks[] = {"BTA 对话开 面板关 on", "B-- 对话开 面板关 on", "-TA 对话开 面板关 on",
                             "--- 对话开 面板开 on", "B-- 对话关 面板关 off"};

MainLayout reach(Arrangement a) {
    MainLayout m;
    if (reachedBy[a])
        (m.*reachedBy[a])();
    return m;
}

QString lookOf(const MainLayout& m) {
    const Controls& c = m.controls();
    const layout::PanelState& p = m.panels();
    return QStringLiteral("%1%2%3 %4 %5 %6")
        .arg(c.FrameBbs.visible ? "B" : "-", c.FrameTonghang.visible ? "T" : "-",
             c.FrameAd.visible ? "A" : "-", p.button16Caption, p.button17Caption,
             p.panelControlsEnabled ? "on" : "off");
}

constexpr Geometry Controls::*Members[] = {
    &Controls::FrameMain,     &Controls::FrameBbs,       &Controls::FrameTonghang,
    &Controls::FrameTeam,     &Controls::FrameTourist,   &Controls::FrameTouristAll,
    &Controls::FrameAd,       &Controls::WebBrowserMain, &Controls::WebBrowserBbs,
    &Controls::WebBrowserCom, &Controls::WebBrowserTeam};

// Every control's place, size and visibility, in the order of Members.
QList<float> numbers(const Controls& c) {
    QList<float> all;
    for (const auto member : Members) {
        const Geometry& g = c.*member;
        all << g.left << g.top << g.width << g.height << float(g.visible);
    }
    return all;
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
        QCOMPARE(lookOf(m), QString::fromUtf8(looks[Both]));
    }

    // Every operation ends with a layout pass at the current size; the right
    // column comes back at the panel's width (2780) plus 300, or a fixed 3000
    // when leaving wide mode.
    void panelOperationsMoveBetweenArrangements() {
        const struct {
            Arrangement from;
            Operation operation;
            Arrangement to;
            float widthReserve, heightReserve;
        } cases[] = {
            {Both, &MainLayout::SysBbs_Click, PeerCentreOnly, 20, 3778},
            {Both, &MainLayout::SysTonghang_Click, PeerHelpOnly, 3000, 1490},
            {Both, &MainLayout::bothPanelsToggle, NoPanels, 20, 1498},
            {Both, &MainLayout::conversationWidthToggle, Wide, 11000, 1490},
            {PeerHelpOnly, &MainLayout::SysBbs_Click, NoPanels, 20, 1498},
            {PeerHelpOnly, &MainLayout::SysTonghang_Click, Both, 3000, 3778},
            {PeerHelpOnly, &MainLayout::bothPanelsToggle, NoPanels, 20, 1498},
            {PeerHelpOnly, &MainLayout::conversationWidthToggle, Wide, 11000, 1490},
            {PeerCentreOnly, &MainLayout::SysBbs_Click, Both, 3080, 3778},
            {PeerCentreOnly, &MainLayout::SysTonghang_Click, NoPanels, 20, 1498},
            {PeerCentreOnly, &MainLayout::bothPanelsToggle, NoPanels, 20, 1498},
            {PeerCentreOnly, &MainLayout::conversationWidthToggle, Wide, 11000, 1490},
            {NoPanels, &MainLayout::SysBbs_Click, PeerHelpOnly, 3080, 1498},
            {NoPanels, &MainLayout::SysTonghang_Click, PeerCentreOnly, 20, 3778},
            {NoPanels, &MainLayout::bothPanelsToggle, Both, 3080, 3778},
            {NoPanels, &MainLayout::conversationWidthToggle, Wide, 11000, 1490},
            {Wide, &MainLayout::conversationWidthToggle, PeerHelpOnly, 3000, 1490},
        };
        for (const auto& t : cases) {
            MainLayout m = reach(t.from);
            (m.*t.operation)();
            const QByteArray where = QByteArray::number(t.from) + " to " + QByteArray::number(t.to);
            QVERIFY2(lookOf(m) == QString::fromUtf8(looks[t.to]), where + qPrintable(lookOf(m)));
            const Geometry& main = m.controls().FrameMain;
            QVERIFY2(m.MainWidthReserve == t.widthReserve && main.width == 12000 - t.widthReserve &&
                         m.MainHeightReserve == t.heightReserve &&
                         main.height == 8800 - t.heightReserve,
                     where);
        }
    }

    void adFramePassesBeyondTheRightEdgeWithoutThePeerPanel() {
        const MainLayout m = reach(PeerCentreOnly);
        QVERIFY(m.controls().FrameAd.visible);
        QCOMPARE(m.controls().FrameAd.left, m.windowWidth() + 80);
    }

    // Minimised, the window refuses the negative sizes and keeps the old ones;
    // restored, it is laid out exactly as before.
    void minimisingAndRestoring() {
        for (const auto& [a, minimised] : {std::pair{Both, QSizeF(2400, 450)},
                                           {Wide, QSizeF(2400, 450)},
                                           {Both, QSizeF(0, 0)},
                                           {NoPanels, QSizeF(0, 0)}}) {
            MainLayout m = reach(a);
            const Controls before = m.controls();
            m.setWindowSize(float(minimised.width()), float(minimised.height()));
            m.Form_Resize();
            QCOMPARE(m.controls().FrameMain.width, before.FrameMain.width);
            QCOMPARE(m.controls().FrameMain.height, before.FrameMain.height);
            QCOMPARE(m.controls().FrameTonghang.top, float(minimised.height()) - 3000);
            m.setWindowSize(12000, 8800);
            m.Form_Resize();
            QCOMPARE(numbers(m.controls()), numbers(before));
        }
    }

    void wideModeBelowElevenThousandKeepsTheMainFrameWidth() {
        MainLayout m = reach(Wide);
        QCOMPARE(m.controls().FrameBbs.width, 10780.f);
        m.setWindowSize(10000, 8800);
        m.Form_Resize();
        const Controls& c = m.controls();
        QCOMPARE(c.FrameMain.width, 1000.f); // 10000 - 11000 refused
        QCOMPARE(c.FrameBbs.width, 10000.f - 1000 - 220);
        QCOMPARE(c.FrameTeam.width, 2700.f); // (1000 - 3600) x 0.5 refused too
        QCOMPARE(c.FrameTouristAll.left, 1000.f - 3600);
    }

    // Any mix of panel operations and window sizes leaves a consistent state.
    void randomOperationsAndSizesKeepTicksWithPanels() {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        MainLayout m;
        for (int step = 0; step < 20000; ++step) {
            const int what = random.bounded(6);
            if (what < 4 && (what == 3 || !m.wideConversation())) // wide mode leaves only button 16
                (m.*reachedBy[what + 1])();
            else {
                m.setWindowSize(float(random.bounded(-100, 40000)),
                                float(random.bounded(-100, 30000)));
                m.Form_Resize();
            }
            const Controls& c = m.controls();
            const layout::PanelState& p = m.panels();
            const QByteArray where =
                "seed " + QByteArray::number(seed) + " step " + QByteArray::number(step);
            QVERIFY2(p.sysBbsChecked == c.FrameBbs.visible, where);
            QVERIFY2(p.sysTonghangChecked == c.FrameTonghang.visible, where);
            QVERIFY2(c.FrameAd.visible == c.FrameTonghang.visible, where);
            QVERIFY2(p.panelControlsEnabled == !m.wideConversation(), where);
            for (const auto member : Members)
                QVERIFY2((c.*member).width >= 0 && (c.*member).height >= 0, where);
        }
    }
};

QTEST_APPLESS_MAIN(TestLayout)
#include "test_layout.moc"

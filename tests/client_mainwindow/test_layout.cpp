#include "MainLayout.h"

#include <QRandomGenerator>
#include <QTest>

using layout::Geometry;
using layout::MainLayout;

namespace {

enum class Arrangement { Both, PeerHelpOnly, PeerCentreOnly, NoPanels, Wide };
enum class Operation { SysBbs, SysTonghang, BothPanels, ConversationWidth };

// Drives a fresh window into an arrangement the way a user would.
MainLayout reach(Arrangement a) {
    MainLayout m;
    switch (a) {
    case Arrangement::Both:
        break;
    case Arrangement::PeerHelpOnly:
        m.SysTonghang_Click();
        break;
    case Arrangement::PeerCentreOnly:
        m.SysBbs_Click();
        break;
    case Arrangement::NoPanels:
        m.bothPanelsToggle();
        break;
    case Arrangement::Wide:
        m.conversationWidthToggle();
        break;
    }
    return m;
}

void run(MainLayout& m, Operation op) {
    switch (op) {
    case Operation::SysBbs:
        m.SysBbs_Click();
        break;
    case Operation::SysTonghang:
        m.SysTonghang_Click();
        break;
    case Operation::BothPanels:
        m.bothPanelsToggle();
        break;
    case Operation::ConversationWidth:
        m.conversationWidthToggle();
        break;
    }
}

// What the user sees of an arrangement: the three frames, the two captions
// and whether the panel controls can be used.
struct Look {
    bool bbs, tonghang, ad;
    QString button16, button17;
    bool enabled;
    bool operator==(const Look&) const = default;
};

Look lookOf(Arrangement a) {
    using namespace layout;
    switch (a) {
    case Arrangement::Both:
        return {true, true, true, ConversationOpen, PanelsClose, true};
    case Arrangement::PeerHelpOnly:
        return {true, false, false, ConversationOpen, PanelsClose, true};
    case Arrangement::PeerCentreOnly:
        return {false, true, true, ConversationOpen, PanelsClose, true};
    case Arrangement::NoPanels:
        return {false, false, false, ConversationOpen, PanelsOpen, true};
    case Arrangement::Wide:
        return {true, false, false, ConversationClose, PanelsClose, false};
    }
    return {};
}

Look lookOf(const MainLayout& m) {
    const auto& c = m.controls();
    const auto& p = m.panels();
    return {c.FrameBbs.visible, c.FrameTonghang.visible, c.FrameAd.visible,
            p.button16Caption,  p.button17Caption,       p.panelControlsEnabled};
}

bool sameGeometry(const Geometry& a, const Geometry& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
           a.visible == b.visible;
}

QString describe(const Geometry& g) {
    return QStringLiteral("(%1, %2, %3 x %4%5)")
        .arg(g.left)
        .arg(g.top)
        .arg(g.width)
        .arg(g.height)
        .arg(g.visible ? "" : ", hidden");
}

// Every control, compared one by one so a failure names the control.
void compareControls(const layout::Controls& actual, const layout::Controls& expected) {
    const std::pair<const char*, const Geometry layout::Controls::*> members[] = {
        {"FrameMain", &layout::Controls::FrameMain},
        {"FrameBbs", &layout::Controls::FrameBbs},
        {"FrameTonghang", &layout::Controls::FrameTonghang},
        {"FrameTeam", &layout::Controls::FrameTeam},
        {"FrameTourist", &layout::Controls::FrameTourist},
        {"FrameTouristAll", &layout::Controls::FrameTouristAll},
        {"FrameAd", &layout::Controls::FrameAd},
        {"WebBrowserMain", &layout::Controls::WebBrowserMain},
        {"WebBrowserBbs", &layout::Controls::WebBrowserBbs},
        {"WebBrowserCom", &layout::Controls::WebBrowserCom},
        {"WebBrowserTeam", &layout::Controls::WebBrowserTeam},
    };
    for (const auto& [name, member] : members) {
        if (!sameGeometry(actual.*member, expected.*member))
            QFAIL(qPrintable(QStringLiteral("%1 is %2, expected %3")
                                 .arg(QLatin1String(name), describe(actual.*member),
                                      describe(expected.*member))));
    }
}

void checkGeometry(const Geometry& g, float left, float top, float width, float height) {
    QCOMPARE(g.left, left);
    QCOMPARE(g.top, top);
    QCOMPARE(g.width, width);
    QCOMPARE(g.height, height);
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void loadSizeGivesTheWorkedExample() {
        const MainLayout m;
        QCOMPARE(m.MainWidthReserve, 3000.f);
        QCOMPARE(m.MainHeightReserve, 3778.f);
        const auto& c = m.controls();
        checkGeometry(c.FrameMain, 0, 840, 9000, 5022);
        checkGeometry(c.FrameTonghang, 0, 5800, 9000, 2280);
        checkGeometry(c.FrameTeam, 120, 240, 2700, 1935);
        checkGeometry(c.FrameTourist, 2940, 240, 2430, 1935);
        checkGeometry(c.FrameTouristAll, 5400, 240, 3495, 1935);
        checkGeometry(c.FrameBbs, 9100, 840, 2780, 4942);
        checkGeometry(c.FrameAd, 9100, 5800, 2700, 2280);
        QVERIFY(c.FrameAd.visible);
        checkGeometry(c.WebBrowserMain, 45, 120, 8920, 4828);
        checkGeometry(c.WebBrowserBbs, 45, 140, 2700, 4748);
        checkGeometry(c.WebBrowserCom, 30, 170, 2350, 1741);
        checkGeometry(c.WebBrowserTeam, 30, 180, 2620, 1741);
        QCOMPARE(lookOf(m), lookOf(Arrangement::Both));
        QVERIFY(m.panels().sysBbsChecked);
        QVERIFY(m.panels().sysTonghangChecked);
    }

    void panelOperationsMoveBetweenArrangements_data() {
        QTest::addColumn<Arrangement>("from");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<Arrangement>("to");
        QTest::addColumn<float>("widthReserve");
        QTest::addColumn<float>("heightReserve");

        using A = Arrangement;
        using O = Operation;
        // The right column comes back at the panel's current width (2780 at
        // the load size) plus 300; leaving wide mode uses a fixed 3000.
        QTest::newRow("both, SysBbs")
            << A::Both << O::SysBbs << A::PeerCentreOnly << 20.f << 3778.f;
        QTest::newRow("both, SysTonghang")
            << A::Both << O::SysTonghang << A::PeerHelpOnly << 3000.f << 1490.f;
        QTest::newRow("both, panels") << A::Both << O::BothPanels << A::NoPanels << 20.f << 1498.f;
        QTest::newRow("both, conversation")
            << A::Both << O::ConversationWidth << A::Wide << 11000.f << 1490.f;
        QTest::newRow("peer help, SysBbs")
            << A::PeerHelpOnly << O::SysBbs << A::NoPanels << 20.f << 1498.f;
        QTest::newRow("peer help, SysTonghang")
            << A::PeerHelpOnly << O::SysTonghang << A::Both << 3000.f << 3778.f;
        QTest::newRow("peer help, panels")
            << A::PeerHelpOnly << O::BothPanels << A::NoPanels << 20.f << 1498.f;
        QTest::newRow("peer help, conversation")
            << A::PeerHelpOnly << O::ConversationWidth << A::Wide << 11000.f << 1490.f;
        QTest::newRow("peer centre, SysBbs")
            << A::PeerCentreOnly << O::SysBbs << A::Both << 3080.f << 3778.f;
        QTest::newRow("peer centre, SysTonghang")
            << A::PeerCentreOnly << O::SysTonghang << A::NoPanels << 20.f << 1498.f;
        QTest::newRow("peer centre, panels")
            << A::PeerCentreOnly << O::BothPanels << A::NoPanels << 20.f << 1498.f;
        QTest::newRow("peer centre, conversation")
            << A::PeerCentreOnly << O::ConversationWidth << A::Wide << 11000.f << 1490.f;
        QTest::newRow("none, SysBbs")
            << A::NoPanels << O::SysBbs << A::PeerHelpOnly << 3080.f << 1498.f;
        QTest::newRow("none, SysTonghang")
            << A::NoPanels << O::SysTonghang << A::PeerCentreOnly << 20.f << 3778.f;
        QTest::newRow("none, panels")
            << A::NoPanels << O::BothPanels << A::Both << 3080.f << 3778.f;
        QTest::newRow("none, conversation")
            << A::NoPanels << O::ConversationWidth << A::Wide << 11000.f << 1490.f;
        QTest::newRow("wide, conversation")
            << A::Wide << O::ConversationWidth << A::PeerHelpOnly << 3000.f << 1490.f;
    }
    void panelOperationsMoveBetweenArrangements() {
        QFETCH(Arrangement, from);
        QFETCH(Operation, operation);
        QFETCH(Arrangement, to);
        QFETCH(float, widthReserve);
        QFETCH(float, heightReserve);

        MainLayout m = reach(from);
        QCOMPARE(lookOf(m), lookOf(from));
        run(m, operation);
        QCOMPARE(lookOf(m), lookOf(to));
        QCOMPARE(m.panels().sysBbsChecked, m.controls().FrameBbs.visible);
        QCOMPARE(m.panels().sysTonghangChecked, m.controls().FrameTonghang.visible);
        QCOMPARE(m.MainWidthReserve, widthReserve);
        QCOMPARE(m.MainHeightReserve, heightReserve);
        // Every operation ends with a layout pass at the current size.
        const auto& c = m.controls();
        QCOMPARE(c.FrameMain.width, 12000 - widthReserve);
        QCOMPARE(c.FrameMain.height, 8800 - heightReserve);
        QCOMPARE(c.WebBrowserMain.width, c.FrameMain.width - 80);
        QCOMPARE(c.WebBrowserMain.height, c.FrameMain.height - 194);
    }

    void wideModeGivesTheRightColumnAllButElevenThousand() {
        MainLayout m = reach(Arrangement::Wide);
        const auto& c = m.controls();
        QCOMPARE(c.FrameMain.width, 1000.f);
        QCOMPARE(c.FrameBbs.width, 10780.f);
        QCOMPARE(c.FrameBbs.left, 1100.f);
        QCOMPARE(c.FrameBbs.height, 8800.f - 1490 - 80);
        m.conversationWidthToggle();
        QCOMPARE(c.FrameMain.width, 9000.f);
        QCOMPARE(c.FrameBbs.width, 2780.f);
        QVERIFY(!c.FrameTonghang.visible);
        QVERIFY(!m.panels().sysTonghangChecked);
    }

    void hidingTheStripAloneReservesEightTwipsLessThanHidingBoth() {
        MainLayout stripHidden = reach(Arrangement::PeerHelpOnly);
        MainLayout bothHidden = reach(Arrangement::NoPanels);
        QCOMPARE(stripHidden.controls().FrameMain.height, 8800.f - 1490);
        QCOMPARE(bothHidden.controls().FrameMain.height, 8800.f - 1498);

        // The layout forces 1498 however both panels came to be hidden.
        MainLayout viaMenus;
        viaMenus.SysTonghang_Click();
        QCOMPARE(viaMenus.MainHeightReserve, 1490.f);
        viaMenus.SysBbs_Click();
        QCOMPARE(viaMenus.MainHeightReserve, 1498.f);
        QCOMPARE(viaMenus.MainWidthReserve, 20.f);
        QCOMPARE(viaMenus.panels().button17Caption, layout::PanelsOpen);
    }

    void adFramePassesBeyondTheRightEdgeWithoutThePeerPanel() {
        MainLayout m = reach(Arrangement::PeerCentreOnly);
        const auto& ad = m.controls().FrameAd;
        QVERIFY(ad.visible);
        QCOMPARE(ad.left, m.controls().FrameTonghang.width + 100);
        QCOMPARE(ad.left, m.windowWidth() + 80);
        QCOMPARE(ad.top, m.controls().FrameTonghang.top);
    }

    void hiddenPeerPanelKeepsItsGeometryAndStillSizesItsPane() {
        MainLayout m = reach(Arrangement::PeerCentreOnly);
        const Geometry before = m.controls().FrameBbs;
        m.setWindowSize(15000, 10000);
        m.Form_Resize();
        QVERIFY(sameGeometry(m.controls().FrameBbs, before));
        QCOMPARE(m.controls().WebBrowserBbs.width, before.width - 80);
        QCOMPARE(m.controls().WebBrowserBbs.height, before.height - 194);
        QCOMPARE(m.controls().FrameMain.width, 15000.f - 20);
    }

    void minimisingRefusesNegativeSizesAndRestoringLaysOutAgain_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<float>("minimisedWidth");
        QTest::addColumn<float>("minimisedHeight");
        QTest::newRow("both, iconic") << Arrangement::Both << 2400.f << 450.f;
        QTest::newRow("both, zero") << Arrangement::Both << 0.f << 0.f;
        QTest::newRow("wide, iconic") << Arrangement::Wide << 2400.f << 450.f;
        QTest::newRow("none, zero") << Arrangement::NoPanels << 0.f << 0.f;
    }
    void minimisingRefusesNegativeSizesAndRestoringLaysOutAgain() {
        QFETCH(Arrangement, arrangement);
        QFETCH(float, minimisedWidth);
        QFETCH(float, minimisedHeight);

        MainLayout m = reach(arrangement);
        const layout::Controls before = m.controls();
        m.setWindowSize(minimisedWidth, minimisedHeight);
        m.Form_Resize();
        const auto& c = m.controls();
        QCOMPARE(c.FrameMain.width, before.FrameMain.width);
        QCOMPARE(c.FrameMain.height, before.FrameMain.height);
        QCOMPARE(c.WebBrowserMain.width, before.WebBrowserMain.width);
        QCOMPARE(c.FrameTonghang.top, minimisedHeight - 3000); // a position may go negative
        QCOMPARE(lookOf(m), lookOf(arrangement));

        m.setWindowSize(12000, 8800);
        m.Form_Resize();
        compareControls(m.controls(), before);
    }

    void wideModeBelowElevenThousandKeepsTheMainFrameWidth() {
        MainLayout m = reach(Arrangement::Wide);
        m.setWindowSize(10000, 8800);
        m.Form_Resize();
        const auto& c = m.controls();
        QCOMPARE(c.FrameMain.width, 1000.f); // 10000 - 11000 refused
        QCOMPARE(c.FrameBbs.width, 10000.f - 1000 - 220);
        QCOMPARE(c.FrameTonghang.width, 1000.f);
        // (1000 - 3600) x 0.5 is refused too; the sub-panels keep their widths.
        QCOMPARE(c.FrameTeam.width, 2700.f);
        QCOMPARE(c.FrameTouristAll.left, 1000.f - 3600);

        // Entering wide mode in a narrow window leaves the main frame as it was.
        MainLayout narrow;
        narrow.setWindowSize(9000, 8800);
        narrow.Form_Resize();
        narrow.conversationWidthToggle();
        QCOMPARE(narrow.controls().FrameMain.width, 6000.f);
        QCOMPARE(narrow.controls().FrameBbs.width, 2780.f);
        QVERIFY(narrow.wideConversation());
    }

    void fractionalWidthsStaySinglePrecision() {
        MainLayout m;
        m.setWindowSize(12345, 9000);
        m.Form_Resize();
        const auto& c = m.controls();
        QCOMPARE(c.FrameTonghang.width, 9345.f);
        QCOMPARE(c.FrameTeam.width, 2872.5f);
        QCOMPARE(c.FrameTourist.width, float(5745.0 * 0.45));
        QCOMPARE(c.FrameTourist.left, 120 + 2872.5f + 120);
    }

    // Any mix of panel operations and window sizes leaves a consistent state.
    void randomOperationsAndSizesKeepTicksWithPanels() {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        MainLayout m;
        for (int step = 0; step < 20000; ++step) {
            const int what = random.bounded(6);
            const bool wide = m.wideConversation();
            // In wide mode the user can only reach the conversation toggle.
            if (what == 0 && !wide)
                m.SysBbs_Click();
            else if (what == 1 && !wide)
                m.SysTonghang_Click();
            else if (what == 2 && !wide)
                m.bothPanelsToggle();
            else if (what == 3)
                m.conversationWidthToggle();
            else {
                m.setWindowSize(float(random.bounded(-100, 40000)),
                                float(random.bounded(-100, 30000)));
                m.Form_Resize();
            }
            const auto& c = m.controls();
            const auto& p = m.panels();
            const QByteArray where = QByteArray("seed ") + QByteArray::number(seed) + " step " +
                                     QByteArray::number(step);
            QVERIFY2(p.sysBbsChecked == c.FrameBbs.visible, where);
            QVERIFY2(p.sysTonghangChecked == c.FrameTonghang.visible, where);
            QVERIFY2(c.FrameAd.visible == c.FrameTonghang.visible, where);
            const bool bothHidden = !c.FrameBbs.visible && !c.FrameTonghang.visible;
            QVERIFY2((p.button17Caption == layout::PanelsOpen) == bothHidden, where);
            QVERIFY2(p.panelControlsEnabled == !m.wideConversation(), where);
            if (m.wideConversation())
                QVERIFY2(c.FrameBbs.visible && !c.FrameTonghang.visible, where);
            for (const Geometry* g :
                 {&c.FrameMain, &c.FrameBbs, &c.FrameTonghang, &c.FrameTeam, &c.FrameTourist,
                  &c.FrameTouristAll, &c.FrameAd, &c.WebBrowserMain, &c.WebBrowserBbs,
                  &c.WebBrowserCom, &c.WebBrowserTeam})
                QVERIFY2(g->width >= 0 && g->height >= 0, where);
        }
    }
};

QTEST_APPLESS_MAIN(TestLayout)
#include "test_layout.moc"

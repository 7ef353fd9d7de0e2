// The main window with its real web panes against the demo portal: what a
// sample of menu items, toolbar buttons and region labels makes the portal
// receive, Chinese queries in GBK and pre-encoded ones untouched.

#include "DemoPortalProcess.h"
#include "FrmMain.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "WebEnginePane.h"

#include <QAction>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <QWebEnginePage>
#include <memory>

namespace {

constexpr int Patience = 60000; // ms; Chromium on a loaded 2-core machine

enum class Control { Menu, Button, Region };

} // namespace

class TestCommandsPortal : public QObject {
    Q_OBJECT

    DemoPortalProcess portalProcess;
    std::unique_ptr<FrmMain> window;

public:
    static void initMain() {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QCoreApplication::setApplicationName(QStringLiteral("orvanta-commands-portal-test"));
        QStandardPaths::setTestModeEnabled(true);
    }

private slots:
    void initTestCase() {
        QVERIFY(portalProcess.start());
        portal::setBaseUrl(portalProcess.address());
        FrmMain::Services services;
        services.makePane = [](QWidget* parent) {
            auto* pane = new WebEnginePane(parent);
            return PaneSlot{pane, pane};
        };
        window = std::make_unique<FrmMain>(std::move(services));
        QVERIFY(window->Form_Load());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(portalProcess.count(QStringLiteral("GET /chat/")) == 1, Patience);
    }

    void cleanupTestCase() { window.reset(); }

    // A page asked for while the pane is still loading the one before can be
    // dropped by the engine; these rows are about the address, so each one
    // starts with the panes at rest.
    void init() {
        for (const PaneSlot* slot : {&window->WebBrowserMain, &window->WebBrowserBbs}) {
            auto* pane = static_cast<WebEnginePane*>(slot->widget);
            QTRY_VERIFY_WITH_TIMEOUT(!pane->page()->isLoading(), Patience);
        }
    }

    void portalReceivesTheAddressAsWritten_data() {
        QTest::addColumn<Control>("kind");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("request");
        QTest::newRow("OfficeBook, Chinese query")
            << Control::Menu << "OfficeBook"
            << "GET /market/MemSearch.asp?InfoType=%D6%B0%D4%B1";
        QTest::newRow("ToolsCar, pre-encoded") << Control::Menu << "ToolsCar"
                                               << "GET /tonghang/allcom.asp?type=%B3%B5%C1%BE";
        QTest::newRow("HelpPay, long order form")
            << Control::Menu << "HelpPay"
            << "GET /lineorder.asp?line=%BD%C9%C4%C9Velantrix%CD%AC%D0%D0%D0%AD%D7%F7%CD%F8%C2%C3"
               "%D3%CE%D0%C5%CF%A2%B7%A2%B2%BC%C4%EA%B7%D1&price=800&biaozhun=1%C4%EA&other=%C7%EB"
               "%C1%F4%CF%C2%B9%AB%CB%BE%CF%EA%CF%B8%D0%C5%CF%A2";
        QTest::newRow("SysLogin, peer-help pane") << Control::Menu << "SysLogin"
                                                  << "GET /market/login1.asp";
        QTest::newRow("button 8, Chinese query")
            << Control::Button << "8"
            << "GET /market/MemSearch.asp?InfoType=%B5%BC%D3%CE";
        QTest::newRow("button 7, empty query") << Control::Button << "7"
                                               << "GET /market/MemSearch.asp?InfoType=";
        QTest::newRow("Label21, no blank") << Control::Region << "Label21"
                                           << "GET /tonghang/allcom.asp?city=%B9%E3%B6%AB";
        QTest::newRow("Label31, three characters")
            << Control::Region << "Label31"
            << "GET /tonghang/allcom.asp?city=%BA%DA%C1%FA%BD%AD";
    }
    void portalReceivesTheAddressAsWritten() {
        QFETCH(Control, kind);
        QFETCH(QString, control);
        QFETCH(QString, request);
        const int before = portalProcess.count(request);
        switch (kind) {
        case Control::Menu:
            window->MenuItems.value(control)->trigger();
            break;
        case Control::Button:
            window->ToolbarButtons.value(control.toInt() - 1)->trigger();
            break;
        case Control::Region: {
            const auto labels = window->RegionLabels;
            const auto it = std::find_if(labels.begin(), labels.end(),
                                         [&](QWidget* l) { return l->objectName() == control; });
            regions::ClickLabel* label = it == labels.end() ? nullptr : *it;
            QVERIFY(label);
            QTest::mouseClick(label, Qt::LeftButton);
            break;
        }
        }
        QTRY_VERIFY_WITH_TIMEOUT(portalProcess.count(request) == before + 1, Patience);
    }
};

QTEST_MAIN(TestCommandsPortal)
#include "test_commands_portal.moc"

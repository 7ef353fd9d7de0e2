// The main window with its real web panes against the demo portal: what a
// sample of menu items, toolbar buttons and region labels makes the portal
// receive, Chinese queries in GBK and pre-encoded ones untouched.

#include "FrmMain.h"
#include "Portal.h"
#include "RegionLinks.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAction>
#include <QTest>
#include <QWebEnginePage>
#include <memory>

class TestCommandsPortal : public QObject {
    Q_OBJECT

    webtest::DemoPortalProcess portalProcess;
    std::unique_ptr<FrmMain> window;

public:
    static void initMain() { webtest::prepareApplication("orvanta-commands-portal-test"); }

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
        QTRY_VERIFY_WITH_TIMEOUT(portalProcess.count(QStringLiteral("GET /chat/")) == 1,
                                 webtest::Patience);
    }

    void cleanupTestCase() { window.reset(); }

    // A page asked for while the pane still loads the one before can be
    // dropped by the engine; each row starts with the panes at rest.
    void init() {
        for (const PaneSlot* slot : {&window->WebBrowserMain, &window->WebBrowserBbs})
            QTRY_VERIFY_WITH_TIMEOUT(
                !static_cast<WebEnginePane*>(slot->widget)->page()->isLoading(), webtest::Patience);
    }

    void portalReceivesTheAddressAsWritten_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("request");
        QTest::newRow("OfficeBook, Chinese query")
            << "OfficeBook"
            << "GET /market/MemSearch.asp?InfoType=%D6%B0%D4%B1";
        QTest::newRow("ToolsCar, pre-encoded") << "ToolsCar"
                                               << "GET /tonghang/allcom.asp?type=%B3%B5%C1%BE";
        QTest::newRow("SysLogin, peer-help pane") << "SysLogin"
                                                  << "GET /market/login1.asp";
        QTest::newRow("button 8, Chinese query")
            << "8"
            << "GET /market/MemSearch.asp?InfoType=%B5%BC%D3%CE";
        QTest::newRow("Label21, no blank") << "Label21"
                                           << "GET /tonghang/allcom.asp?city=%B9%E3%B6%AB";
    }
    void portalReceivesTheAddressAsWritten() {
        QFETCH(QString, control);
        QFETCH(QString, request);
        const int before = portalProcess.count(request);
        if (window->MenuItems.contains(control))
            window->MenuItems.value(control)->trigger();
        else if (control.toInt() > 0)
            window->ToolbarButtons.value(control.toInt() - 1)->trigger();
        else
            for (regions::ClickLabel* label : window->RegionLabels)
                if (label->objectName() == control)
                    QTest::mouseClick(label, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(portalProcess.count(request) == before + 1, webtest::Patience);
    }
};

QTEST_MAIN(TestCommandsPortal)
#include "test_commands_portal.moc"

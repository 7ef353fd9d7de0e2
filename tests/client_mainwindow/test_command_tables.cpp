#include "MenuTable.h"
#include "RegionTable.h"
#include "ToolbarTable.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

using menus::Action;

namespace {

QList<const menus::Item*> allItems() {
    QList<const menus::Item*> items;
    for (const menus::Menu& menu : menus::menuBar())
        for (const menus::Item& item : menu.items)
            items.append(&item);
    return items;
}

QStringList itemControls(Action action) {
    QStringList names;
    for (const menus::Item* item : allItems())
        if (item->action == action)
            names.append(item->control.toString());
    return names;
}

QString pathOf(const char16_t* control) {
    const menus::Item* item = menus::findItem(control);
    return item ? item->path.toString() : QString();
}

} // namespace

class TestCommandTables : public QObject {
    Q_OBJECT
private slots:
    void itemsAreIdentifiedByNameAndNumber() {
        QCOMPARE(menus::menuBar().size(), std::size_t(12));
        const auto items = allItems();
        QCOMPARE(items.size(), 84);
        QSet<QString> names;
        for (const menus::Item* item : items) {
            QVERIFY2(!names.contains(item->control.toString()),
                     qPrintable(item->control.toString()));
            names.insert(item->control.toString());
            QCOMPARE(menus::findItem(item->control), item);
        }
        QVERIFY(!menus::findItem(u"NoSuchItem"));
        // Numbers repeat across menus; the name tells the items apart.
        QCOMPARE(menus::findItem(u"ToolsCar")->number, 71);
        QCOMPARE(menus::findItem(u"VelantrixWeb")->number, 71);
        // Other parts of the window address these four by number.
        QCOMPARE(menus::findItem(u"SysBbs")->number, 13);
        QCOMPARE(menus::findItem(u"SysTonghang")->number, 14);
        QCOMPARE(menus::findItem(u"SysTop")->number, 17);
        QCOMPARE(menus::findItem(u"SysToolBar")->number, 18);
        // The system menu lists the network test (20) before exit (19).
        const auto system = menus::menuBar()[0].items;
        QCOMPARE(system[8].control.toString(), QStringLiteral("SysTest"));
        QCOMPARE(system[9].control.toString(), QStringLiteral("SysExit"));
    }

    void captionsKeepTheirOddBlanksAndNoOthers() {
        for (const menus::Item* item : allItems()) {
            const QString caption = item->caption.toString();
            QVERIFY(!caption.isEmpty());
            QVERIFY2(!caption.contains(QLatin1Char('&')), qPrintable(caption));
            if (item->control == u"TeamHotel")
                QCOMPARE(caption, QStringLiteral("酒店空房信息") + QChar(0x3000));
            else if (item->control == u"VelantrixSoft")
                QCOMPARE(caption, QStringLiteral("旅游软件开发订制服务 "));
            else
                QVERIFY2(caption == caption.trimmed(), qPrintable(caption));
        }
    }

    void tenItemsHaveHandlersAndThreeOpenAWindow() {
        QCOMPARE(itemControls(Action::Handler),
                 QStringList({"SysBbs", "SysTonghang", "SysLogin", "SysTop", "SysToolBar",
                              "SysTest", "SysExit", "ToolsBbs", "HelpThis", "HelpGame"}));
        QCOMPARE(itemControls(Action::NewWindow),
                 QStringList({"ToolsTicket", "ToolsRoad", "ToolsSpot"}));
        QCOMPARE(itemControls(Action::MainPane).size(), 84 - 10 - 3);
    }

    void onlyThePanelItemsStartTicked() {
        for (const menus::Item* item : allItems()) {
            const bool panel = item->control == u"SysBbs" || item->control == u"SysTonghang";
            const bool switchItem = item->control == u"SysTop" || item->control == u"SysToolBar";
            const menus::Tick expected = panel        ? menus::Tick::Set
                                         : switchItem ? menus::Tick::Clear
                                                      : menus::Tick::None;
            QVERIFY2(item->tick == expected, qPrintable(item->control.toString()));
        }
    }

    void pagePathsAreRelativeAndHandlersHaveNone() {
        for (const menus::Item* item : allItems()) {
            const QString path = item->path.toString();
            if (item->action == Action::Handler) {
                QVERIFY(path.isEmpty());
                continue;
            }
            QVERIFY2(!path.isEmpty(), qPrintable(item->control.toString()));
            QVERIFY2(!path.startsWith(QLatin1Char('/')) && !path.contains(QLatin1Char(' ')),
                     qPrintable(path));
        }
    }

    void preEncodedQueriesAreGbkOfTheirCompanyTypes_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("type");
        QTest::newRow("ToolsEat") << "ToolsEat"
                                  << "餐饮";
        QTest::newRow("ToolsShopping") << "ToolsShopping"
                                       << "购物";
        QTest::newRow("ToolsCar") << "ToolsCar"
                                  << "车辆";
        QTest::newRow("ToolsHotel") << "ToolsHotel"
                                    << "酒店";
        QTest::newRow("ToolsTicketCom") << "ToolsTicketCom"
                                        << "票务";
    }
    void preEncodedQueriesAreGbkOfTheirCompanyTypes() {
        QFETCH(QString, control);
        QFETCH(QString, type);
        const QString path = menus::findItem(control)->path.toString();
        const QString prefix = QStringLiteral("tonghang/allcom.asp?type=");
        QVERIFY(path.startsWith(prefix));
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(path.mid(prefix.size()).toLatin1());
        QStringDecoder gbk("GBK");
        QCOMPARE(QString(gbk.decode(bytes)), type);
    }

    void chineseQueriesAreStoredUnencoded() {
        QCOMPARE(pathOf(u"OfficeBook"), QStringLiteral("market/MemSearch.asp?InfoType=职员"));
        QCOMPARE(pathOf(u"CRMManage"), QStringLiteral("market/MemManage.asp?InfoType=客人"));
        QCOMPARE(
            pathOf(u"HelpPay"),
            QStringLiteral("lineorder.asp?line=缴纳Velantrix同行协作网旅游信息发布年费&price=800&"
                           "biaozhun=1年&other=请留下公司详细信息"));
        for (const menus::Item* item : allItems()) {
            const QString path = item->path.toString();
            // Only the five type= look-ups carry escapes; nothing is half-encoded.
            QCOMPARE(path.contains(QLatin1Char('%')),
                     path.contains(QLatin1String("allcom.asp?type=")));
        }
    }

    void pagesThatLookAlikeAreWhereTheyBelong() {
        QCOMPARE(pathOf(u"SysFax"), pathOf(u"VelantrixFax"));
        QCOMPARE(pathOf(u"LineFax"), QStringLiteral("Dalvoria/tour/admin/LineSearch.asp"));
        QCOMPARE(pathOf(u"LineSearch"), QStringLiteral("Dalvoria/tour/admin/LineManage.asp"));
        const std::pair<const char16_t*, const char16_t*> recordMenus[] = {
            {u"HotelSearch", u"HotelManage"},
            {u"TouristSearch", u"TouristManage"},
            {u"OtherSearch", u"OtherManage"},
            {u"CarSearch", u"CarManage"},
        };
        for (const auto& [search, manage] : recordMenus) {
            QVERIFY(pathOf(search).endsWith(QLatin1String("Search.asp")));
            QVERIFY(pathOf(manage).endsWith(QLatin1String("Manage.asp")));
        }
    }

    void toolbarButtonsAreNumberedInOrder() {
        const auto buttons = toolbar::buttons();
        QCOMPARE(buttons.size(), std::size_t(18));
        QSet<QString> keys;
        QSet<int> images;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i].number, int(i) + 1);
            QCOMPARE(toolbar::findButton(buttons[i].number), &buttons[i]);
            keys.insert(buttons[i].key.toString());
            images.insert(buttons[i].image);
            QVERIFY(buttons[i].image >= 1 && buttons[i].image <= toolbar::ImageCount);
        }
        QCOMPARE(keys.size(), 18);
        QCOMPARE(images.size(), 18);
        QVERIFY(!images.contains(13)); // in the image list, used by no button
        QVERIFY(!toolbar::findButton(0));
        QVERIFY(!toolbar::findButton(19));
    }

    void regionGridHasSevenColumnsAndFiveRows() {
        const auto links = regions::links();
        QCOMPARE(links.size(), std::size_t(33));
        const QList<int> tops = {400, 700, 1020, 1340, 1650};
        QSet<QString> names;
        QMap<int, int> perRow;
        for (const regions::Link& link : links) {
            const QString where = link.control.toString();
            QVERIFY2(tops.contains(link.top), qPrintable(where));
            ++perRow[link.top];
            QVERIFY2(link.left >= 120 && link.left <= 3000, qPrintable(where));
            // Off the 480-twip grid only where a wider caption is centred.
            if (link.width == 375)
                QVERIFY2((link.left - 120) % 480 == 0, qPrintable(where));
            QCOMPARE(link.region.toString(), link.caption.toString().trimmed());
            QVERIFY(!link.region.contains(QLatin1Char(' ')));
            names.insert(link.region.toString());
        }
        QCOMPARE(names.size(), 33);
        QCOMPARE(perRow.values(), QList<int>({7, 7, 7, 7, 5}));
    }

    void regionLabelsThatDifferFromTheGrid_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("region");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::newRow("Label21") << "Label21"
                                 << " 广东"
                                 << "广东" << 2880 << 495;
        QTest::newRow("Label31") << "Label31"
                                 << "黑龙江"
                                 << "黑龙江" << 1560 << 615;
        QTest::newRow("Label32") << "Label32"
                                 << "内蒙古"
                                 << "内蒙古" << 2520 << 735;
        QTest::newRow("LblBeijing") << "LblBeijing"
                                    << "北京"
                                    << "北京" << 120 << 375;
    }
    void regionLabelsThatDifferFromTheGrid() {
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(QString, region);
        QFETCH(int, left);
        QFETCH(int, width);
        const auto links = regions::links();
        const auto it = std::find_if(links.begin(), links.end(),
                                     [&](const regions::Link& l) { return l.control == control; });
        QVERIFY(it != links.end());
        QCOMPARE(it->caption.toString(), caption);
        QCOMPARE(it->region.toString(), region);
        QCOMPARE(it->left, left);
        QCOMPARE(it->width, width);
    }
};

QTEST_APPLESS_MAIN(TestCommandTables)
#include "test_command_tables.moc"

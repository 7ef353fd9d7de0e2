#include "MenuTable.h"

#include <array>

namespace menus {
namespace {

constexpr Item main(QStringView control, int number, QStringView caption, QStringView path) {
    return {control, number, caption, Action::MainPane, path};
}

constexpr Item window(QStringView control, int number, QStringView caption, QStringView path) {
    return {control, number, caption, Action::NewWindow, path};
}

constexpr Item own(QStringView control, int number, QStringView caption, Tick tick = Tick::None) {
    return {control, number, caption, Action::Handler, {}, tick};
}

constexpr std::array systemItems{
    main(u"SysReg", 11, u"申请免费帐号", u"tonghang/reginfo.asp"),
    main(u"SysModify", 12, u"修改注册信息及密码", u"market/ComModify.asp"),
    own(u"SysBbs", 13, u"显示同行求助交流中心", Tick::Set),
    own(u"SysTonghang", 14, u"显示VLX全国同行协作中心", Tick::Set),
    main(u"SysFax", 15, u"电脑传真软件", u"faxsoft.asp"),
    own(u"SysLogin", 16, u"重新登陆"),
    own(u"SysTop", 17, u"本软件总在最上面", Tick::Clear),
    own(u"SysToolBar", 18, u"平面工具栏效果开关", Tick::Clear),
    own(u"SysTest", 20, u"网络测试"),
    own(u"SysExit", 19, u"退出"),
};

constexpr std::array officeItems{
    main(u"OfficeOrder", 21, u"订单管理", u"myorder.asp"),
    main(u"OfficeBook", 22, u"职员通迅簿", u"market/MemSearch.asp?InfoType=职员"),
    main(u"OfficeUser", 23, u"职员资料管理", u"market/MemManage.asp?InfoType=职员"),
    main(u"OfficeGuider", 25, u"导游资料管理", u"market/MemManage.asp?InfoType=导游"),
    main(u"OfficeUserAdd", 24, u"职员/导游录入", u"market/MemAdd.asp"),
    main(u"OfficeMem", 26, u"会员接待查询中心", u"searchmember.asp"),
    main(u"OfficeDalvoria", 27, u"Dalvoria网站管理", u"market/sys.asp?SysType=Dalvoria"),
    main(u"OfficeOA", 28, u"旅行社网络办公系统", u"market/sys.asp?SysType=VelantrixOA"),
};

constexpr std::array teamItems{
    main(u"TeamAdd", 91, u"空位销售发布", u"tonghang/tourinfo.asp"),
    main(u"TeamEdit", 92, u"空位数跟踪修改", u"tonghang/infolist-mem-market.asp"),
    main(u"TeamSearch", 93, u"同行空位查询", u"tonghang/infolist-mem.asp"),
    main(u"TeamGuest", 94, u"散客参团信息", u"tonghang/infolist.asp?type=guest"),
    main(u"TeamLine", 95, u"特色线路并团信息", u"tonghang/infolist.asp?type=line"),
    main(u"TeamHotel", 96, u"酒店空房信息\u3000", u"tonghang/infolist.asp?type=hotel"),
    main(u"TeamTicket", 97, u"票务转让出售信息", u"tonghang/infolist.asp?type=ticket"),
    main(u"TeamCar", 98, u"旅游车辆闲置信息", u"tonghang/infolist.asp?type=car"),
};

constexpr std::array lineItems{
    main(u"LineFax", 32, u"线路查询报价传真", u"Dalvoria/tour/admin/LineSearch.asp"),
    main(u"LineSearch", 31, u"我的线路库管理", u"Dalvoria/tour/admin/LineManage.asp"),
    main(u"LineAdd", 33, u"上传新线路", u"market/LineAdd.asp"),
    main(u"LineChina", 34, u"Velantrix线路联盟库", u"Dalvoria/tour/"),
};

constexpr std::array crmItems{
    main(u"CRMSearch", 111, u"客户资料查询", u"market/MemSearch.asp?InfoType=客人"),
    main(u"CRMManage", 112, u"客户资料管理", u"market/MemManage.asp?InfoType=客人"),
    main(u"CRMAdd", 113, u"添加客户资料", u"market/GuestAdd.asp"),
};

constexpr std::array touristItems{
    main(u"TouristSearch", 41, u"地接查询", u"market/TouristSearch.asp"),
    main(u"TouristManage", 42, u"旅行社资料管理", u"market/TouristManage.asp"),
    main(u"TouristAdd", 43, u"新增地接社资料", u"market/TouristAdd.asp"),
};

constexpr std::array hotelItems{
    main(u"HotelSearch", 51, u"宾馆酒店查询", u"market/HotelSearch.asp"),
    main(u"HotelManage", 52, u"酒店资料管理", u"market/HotelManage.asp"),
    main(u"HotelAdd", 53, u"酒店资料录入", u"market/HotelAdd.asp"),
};

constexpr std::array carItems{
    main(u"CarSearch", 121, u"车辆信息查询", u"market/CarSearch.asp"),
    main(u"CarManage", 122, u"车辆信息管理", u"market/CarManage.asp"),
    main(u"CarAdd", 123, u"新增车辆信息", u"market/CarAdd.asp"),
};

constexpr std::array otherItems{
    main(u"OtherSearch", 131, u"其它外联资料查询", u"market/OtherSearch.asp"),
    main(u"OtherManage", 132, u"外联资料管理", u"market/OtherManage.asp"),
    main(u"OtherAdd", 133, u"添加更多的外联资料", u"market/OtherAdd.asp"),
};

// The type= values are GBK bytes already percent-encoded by the portal:
// 餐饮, 购物, 车辆, 酒店, 票务.
constexpr std::array toolsItems{
    main(u"ToolsPlay", 61, u"航班机票查询", u"plane.asp"),
    main(u"ToolsTrain", 62, u"火车票查询", u"train.asp"),
    main(u"ToolsWeather", 63, u"国内城市天气查询", u"weather.asp"),
    main(u"ToolsDate", 64, u"万年黄历查询", u"date.htm"),
    window(u"ToolsTicket", 65, u"国内景点门票查询",
           u"guider/service/Special_News.asp?SpecialID=30"),
    window(u"ToolsRoad", 66, u"国内景点交通查询", u"guider/service/Special_News.asp?SpecialID=31"),
    window(u"ToolsSpot", 67, u"国内景点导游", u"guider/service/"),
    main(u"ToolsEat", 68, u"VLX团队餐点查询", u"tonghang/allcom.asp?type=%B2%CD%D2%FB"),
    main(u"ToolsShopping", 69, u"VLX购物点查询", u"tonghang/allcom.asp?type=%B9%BA%CE%EF"),
    main(u"ToolsGuider", 70, u"VLX导游查询", u"guider/higuider.asp"),
    main(u"ToolsCar", 71, u"VLX旅游车辆查询", u"tonghang/allcom.asp?type=%B3%B5%C1%BE"),
    main(u"ToolsHotel", 72, u"VLX宾馆酒店查询", u"tonghang/allcom.asp?type=%BE%C6%B5%EA"),
    main(u"ToolsTicketCom", 73, u"VLX票务企业查询", u"tonghang/allcom.asp?type=%C6%B1%CE%F1"),
    main(u"ToolsManageBbs", 74, u"旅游管理论坛", u"bbs/default.asp?boardid=11"),
    main(u"ToolsFgb", 75, u"同行留言", u"FGB/Index.asp?user=th"),
    own(u"ToolsBbs", 76, u"同行协作交流中心"),
    main(u"ToolsGetCom", 77, u"协作网企业查询", u"market/GetComInfo.htm"),
};

constexpr std::array velantrixItems{
    main(u"VelantrixWeb", 71, u"旅游网站建设服务", u"etourist.asp"),
    main(u"VelantrixAsk", 72, u"旅游企业信息化建设咨询", u"askservice.asp"),
    main(u"VelantrixaOA", 73, u"旅行社网上办公自动化OA", u"velantrixoa/"),
    main(u"VelantrixSoft", 74, u"旅游软件开发订制服务 ", u"softwaredev.asp"),
    main(u"VelantrixCrm", 75, u"旅游客户关系管理软件", u"tourcrm.asp"),
    main(u"VelantrixVelantrix", 76, u"车辆*计调等系列软件", u"velantrix.asp"),
    main(u"VelantrixSpread", 77, u"旅游网站宣传营销推广", u"tourwebspread.asp"),
    main(u"VelantrixAd", 78, u"VLX网站旅游广告服务", u"ad.asp"),
    main(u"VelantrixAdProxy", 79, u"知名行业网站广告代理", u"adproxy.asp"),
    main(u"VelantrixSearch", 80, u"搜索引擎登陆等推广代理", u"searchproxy.asp"),
    main(u"VelantrixYellowBook", 81, u"旅游行业资源数据库黄页", u"yellowbook.asp"),
    main(u"VelantrixFax", 82, u"电脑自动传真及群发软件", u"faxsoft.asp"),
    main(u"VelantrixSpot", 83, u"景区多媒体演示电子沙盘", u"spothit.asp"),
    main(u"VelantrixEtour", 84, u"旅游相关行业软件专家网", u"etour.asp"),
    main(u"VelantrixOffice", 85, u"产业信息化研究办公室", u"aboutoffice.asp"),
};

constexpr std::array helpItems{
    own(u"HelpThis", 81, u"关于Orvanta"),
    main(u"HelpBook", 82, u"使用说明书", u"market/Help.htm"),
    main(u"HelpFAQ", 83, u"常见问题", u"dalvoria/BigClass.asp?BigClassID=25&BigClassName=FAQ"),
    main(u"HelpVLX", 84, u"关于VLX", u"aboutus.asp"),
    main(u"HelpPay", 85, u"我要续费",
         u"lineorder.asp?line=缴纳Velantrix同行协作网旅游信息发布年费&price=800&biaozhun=1年"
         u"&other=请留下公司详细信息"),
    main(u"HelpVerson", 86, u"检查最新版本", u"market/NewVerson.htm"),
    own(u"HelpGame", 87, u"Brickvane游戏"),
};

constexpr std::array bar{
    Menu{u"System", 1, u"系统设置", systemItems},
    Menu{u"Office", 2, u"办公系统", officeItems},
    Menu{u"Team", 9, u"组团中心", teamItems},
    Menu{u"Line", 3, u"线路管理", lineItems},
    Menu{u"CRM", 110, u"客户关系管理", crmItems},
    Menu{u"Tourist", 4, u"地接社管理", touristItems},
    Menu{u"Hotel", 5, u"酒店管理", hotelItems},
    Menu{u"Car", 120, u"车辆管理", carItems},
    Menu{u"Other", 130, u"更多外联", otherItems},
    Menu{u"Tools", 6, u"工具箱", toolsItems},
    Menu{u"velantrix", 7, u"旅游信息化专题", velantrixItems},
    Menu{u"Help", 8, u"使用帮助", helpItems},
};

} // namespace

std::span<const Menu> menuBar() {
    return bar;
}

const Item* findItem(QStringView control) {
    for (const Menu& menu : bar)
        for (const Item& item : menu.items)
            if (item.control == control)
                return &item;
    return nullptr;
}

} // namespace menus

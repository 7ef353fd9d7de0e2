#include "ToolbarTable.h"

#include "Portal.h"

#include <array>

namespace toolbar {
namespace {

constexpr std::array table{
    Button{1, u"Login", u"登陆", u"登陆", 1, Action::Login, u"market/login1.asp"},
    Button{2, u"Line", u"报价", u"线路报价对散客或同行传真", 11, Action::MainPane,
           u"Dalvoria/tour/admin/LineSearch.asp"},
    Button{3, u"Forward", u"前进", u"前进", 7, Action::Forward, {}},
    Button{4, u"Back", u"后退", u"后退", 16, Action::Back, {}},
    Button{5, u"Refresh", u"刷新", u"刷新", 14, Action::Refresh, {}},
    Button{6, u"Order", u"订单", u"管理你在%1上的订单", 12, Action::MainPane, u"myorder.asp"},
    Button{7, u"Book", u"名片簿", u"公司内部员工通迅录", 3, Action::MainPane,
           u"market/MemSearch.asp?InfoType="},
    Button{8, u"guider", u"导游", u"导游查询", 9, Action::MainPane,
           u"market/MemSearch.asp?InfoType=导游"},
    Button{9, u"Tourist", u"旅行社", u"同行地接查询", 15, Action::MainPane,
           u"market/TouristSearch.asp"},
    Button{10, u"Hotel", u"酒店", u"酒店查询", 10, Action::MainPane, u"market/HotelSearch.asp"},
    Button{11, u"Car", u"旅游车", u"旅游车辆查询", 4, Action::MainPane, u"market/CarSearch.asp"},
    Button{12, u"FreeRoom", u"空位", u"组团中心空位销售", 8, Action::MainPane,
           u"tonghang/infolist-mem.asp"},
    Button{13, u"Date", u"日历", u"万年双日历", 5, Action::Calendar, u"date.htm"},
    Button{14, u"Dalvoria", u"网站", u"管理Dalvoria网站Dalvoria", 17, Action::MainPane,
           u"market/sys.asp?SysType=Dalvoria"},
    Button{15, u"VelantrixOA", u"办公", u"进入本社网上办公自动化系统VelantrixOA", 18,
           Action::MainPane, u"market/sys.asp?SysType=VelantrixOA"},
    Button{16, u"Bbs", u"对话开", u"同行网上交流系统 求助合作", 2, Action::ConversationToggle, {}},
    Button{17,
           u"Control",
           u"面板关",
           u"显示或关闭对话面板和同行协作面板",
           6,
           Action::PanelsToggle,
           {}},
    Button{18, u"Over", u"注销", u"关闭你的帐号，确保数据安全!", 19, Action::MainPane,
           u"market/exit.asp"},
};

} // namespace

std::span<const Button> buttons() {
    return table;
}

const Button* findButton(int number) {
    if (number < 1 || number > int(table.size()))
        return nullptr;
    return &table[std::size_t(number - 1)];
}

QString tooltipText(const Button& button) {
    const QString text = button.tooltip.toString();
    return text.contains(QLatin1String("%1")) ? text.arg(portal::host()) : text;
}

} // namespace toolbar

#include "RegionTable.h"

#include <array>

namespace regions {
namespace {

constexpr std::array table{
    Link{u"LblBeijing", u"北京", u"北京", 120, 400},
    Link{u"Label1", u"天津", u"天津", 600, 400},
    Link{u"Label2", u"上海", u"上海", 1080, 400},
    Link{u"Label3", u"重庆", u"重庆", 1560, 400},
    Link{u"Label4", u"四川", u"四川", 2040, 400},
    Link{u"Label5", u"云南", u"云南", 2520, 400},
    Link{u"Label22", u"新疆", u"新疆", 3000, 400},
    Link{u"Label6", u"山东", u"山东", 120, 700},
    Link{u"Label7", u"海南", u"海南", 600, 700},
    Link{u"Label8", u"浙江", u"浙江", 1080, 700},
    Link{u"Label9", u"江苏", u"江苏", 1560, 700},
    Link{u"Label10", u"福建", u"福建", 2040, 700},
    Link{u"Label12", u"湖北", u"湖北", 2520, 700},
    Link{u"Label21", u" 广东", u"广东", 2880, 700, 495},
    Link{u"Label14", u"湖南", u"湖南", 120, 1020},
    Link{u"Label15", u"江西", u"江西", 600, 1020},
    Link{u"Label16", u"山西", u"山西", 1080, 1020},
    Link{u"Label17", u"河北", u"河北", 1560, 1020},
    Link{u"Label18", u"河南", u"河南", 2040, 1020},
    Link{u"Label19", u"陕西", u"陕西", 2520, 1020},
    Link{u"Label23", u"广西", u"广西", 3000, 1020},
    Link{u"Label20", u"甘肃", u"甘肃", 120, 1340},
    Link{u"Label24", u"安徽", u"安徽", 600, 1340},
    Link{u"Label25", u"贵州", u"贵州", 1080, 1340},
    Link{u"Label26", u"宁夏", u"宁夏", 1560, 1340},
    Link{u"Label27", u"青海", u"青海", 2040, 1340},
    Link{u"Label28", u"西藏", u"西藏", 2520, 1340},
    Link{u"Label29", u"吉林", u"吉林", 3000, 1340},
    Link{u"Label11", u"香港", u"香港", 120, 1650},
    Link{u"Label13", u"澳门", u"澳门", 600, 1650},
    Link{u"Label30", u"辽宁", u"辽宁", 1080, 1650},
    Link{u"Label31", u"黑龙江", u"黑龙江", 1560, 1650, 615},
    Link{u"Label32", u"内蒙古", u"内蒙古", 2520, 1650, 735},
};

} // namespace

std::span<const Link> links() {
    return table;
}

} // namespace regions

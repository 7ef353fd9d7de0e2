#pragma once

#include "AppInfo.h"
#include "Portal.h"

#include <QString>

// Every text the main window shows, in one place.
namespace MainWindowText {

inline QString caption() {
    return app::title() + QStringLiteral("------旅游从业者工作必备百宝箱") +
           QString(14, QLatin1Char(' ')) + portal::rootAddress() +
           QStringLiteral("系列旅游软件家庭成员");
}

inline QString alreadyRunning() {
    return app::title() + QStringLiteral("已经在运行中！");
}

inline QString closeQuestion() {
    return QStringLiteral("为确保安全，关闭后要重新启动电脑才能继续使用！\r\n\r\n"
                          "你确认要关掉‘Orvanta’吗(Y/N)？");
}

inline QString busyQuestion() {
    return QStringLiteral("本软件启用了安全设置，上次你非法与同行协作网服器断开，"
                          "请关闭本软件再重新启动!(Y/N)");
}

inline QString connectedNotice() {
    return QStringLiteral("网络连接正常，欢迎你的使用！");
}

inline QString teamCaption() {
    return QStringLiteral("      同行协作网组团中心");
}
inline QString touristCaption() {
    return QStringLiteral("全省在线企业");
}
inline QString touristAllCaption() {
    return QStringLiteral("全国各省同行●跨省求助");
}
inline QString command1Tip() {
    return QStringLiteral("隐藏此控制面板");
}
inline QString command2Tip() {
    return QStringLiteral("隐藏此同行对话交流控制面板");
}

inline QString topmostUnavailable() {
    return QStringLiteral("当前的桌面（Wayland）不允许程序把窗口放在最上面，"
                          "“本软件总在最上面”无法使用。");
}

// Names a screen reader gives the parts that show no caption.
inline QString toolbarName() {
    return QStringLiteral("工具栏");
}
inline QString mainPaneName() {
    return QStringLiteral("主页面");
}
inline QString bbsName() {
    return QStringLiteral("同行对话交流");
}
inline QString tonghangName() {
    return QStringLiteral("同行协作面板");
}
inline QString adName() {
    return QStringLiteral("广告");
}

} // namespace MainWindowText

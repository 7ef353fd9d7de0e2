#pragma once

#include <QString>

// Every text the game shows, one section per window.
namespace brickvane::texts {

// The portal's root address without its final "/": the one Orvanta shows
// (ORVANTA_PORTAL_URL, which Orvanta passes on, or the compiled-in one).
QString PortalRootAddress();

namespace game_window {
inline QString Title() {
    return QStringLiteral("Brickvane");
}
inline QString LabNext() {
    return QStringLiteral("下一块:");
}
inline QString Label3() {
    return QStringLiteral("等级");
}
inline QString Label4() {
    return QStringLiteral("得分");
}
inline QString CmdLeft() {
    return QStringLiteral("<--");
}
inline QString CmdRevert() {
    return QStringLiteral("()");
}
inline QString CmdRight() {
    return QStringLiteral("-->");
}
inline QString CmdDown() {
    return QStringLiteral("V");
}
inline QString MnuFile() {
    return QStringLiteral("文件(&F)");
}
inline QString CmdStart() {
    return QStringLiteral("开始(&Start)");
}
inline QString CmdRestart() {
    return QStringLiteral("从新开始(&Restart)");
}
inline QString CmdExit() {
    return QStringLiteral("退出(&Exit)");
}
inline QString CmdSetting() {
    return QStringLiteral("设置(&S)");
}
inline QString CmdPause() {
    return QStringLiteral("暂停(&P)");
}
inline QString CmdContinue() {
    return QStringLiteral("继续(&P)");
}
inline QString About() {
    return QStringLiteral("关于(&A)");
}
inline QString CmdHelp() {
    return QStringLiteral("帮助(&Help)");
}
inline QString ExitQuestion() {
    return QStringLiteral("确认要退出吗？");
}
inline QString ExitTitle() {
    return QStringLiteral("确认吗？");
}
QString Welcome(); // the message of a click on the picture

// What a screen reader calls the controls that show no words of their own.
inline QString BoardName() {
    return QStringLiteral("游戏板");
}
inline QString PreviewName() {
    return QStringLiteral("下一块");
}
inline QString CmdLeftName() {
    return QStringLiteral("左移");
}
inline QString CmdRevertName() {
    return QStringLiteral("旋转");
}
inline QString CmdRightName() {
    return QStringLiteral("右移");
}
inline QString CmdDownName() {
    return QStringLiteral("下移");
}
} // namespace game_window

namespace settings {
inline QString Title() {
    return QStringLiteral("设置....");
}
inline QString Frame1() {
    return QStringLiteral("设置框架");
}
inline QString Label2() {
    return QStringLiteral("列数");
}
inline QString Label1() {
    return QStringLiteral("行数");
}
inline QString Label9() {
    return QStringLiteral("等级");
}
inline QString Label4() {
    return QStringLiteral("升级频率");
}
inline QString CmdChgColor() {
    return QStringLiteral("背景色");
}
inline QString Frame2() {
    return QStringLiteral("设置按键");
}
inline QString Label5() {
    return QStringLiteral("左移");
}
inline QString Label6() {
    return QStringLiteral("右移");
}
inline QString Label7() {
    return QStringLiteral("下移");
}
inline QString Label8() {
    return QStringLiteral("旋转");
}
inline QString LabelStepDown() {
    return QStringLiteral("单步下移");
}
inline QString CmdDefault() {
    return QStringLiteral("默认");
}
inline QString CmdAccept() {
    return QStringLiteral("记住我的选择");
}
inline QString CmdOk() {
    return QStringLiteral("确认从新开始");
}
inline QString Command1() {
    return QStringLiteral("继续游戏");
}
inline QString DuplicateKeys() {
    return QStringLiteral("有键重复了！");
}
inline QString DuplicateKeysTitle() {
    return QStringLiteral("错误！");
}
inline QString SliderTip(int value) {
    return QString::number(value) + QStringLiteral("分");
}
} // namespace settings

namespace about {
inline QString Title() {
    return QStringLiteral("Brickvane小游戏");
}
inline QString LblTitle() {
    return QStringLiteral("Brickvane小游戏");
}
inline QString LblDescription() {
    return QStringLiteral("  工作第一，请在工作之余玩耍！祝你工作轻轻松松·");
}
inline QString Label2() {
    return QStringLiteral("键盘设置：F1 帮助 F2 开始游戏 F3 设置          F4 暂停 F5 退出游戏 "
                          "Esc 老板键             移动就由你自己设定吧!");
}
inline QString CommandButton1() {
    return QStringLiteral("OK");
}
} // namespace about

namespace game_over {
inline QString Label1() {
    return QStringLiteral("游戏结束了！工作第一，请在工作之余游戏！还要继续玩吗？");
}
inline QString OKButton() {
    return QStringLiteral("确定");
}
inline QString CancelButton() {
    return QStringLiteral("取消");
}
inline QString Caption(long long score) {
    return QStringLiteral("你的得分是") + QString::number(score);
}
} // namespace game_over

} // namespace brickvane::texts

#include "PageMenu.h"

QList<PageMenuEntry> pageMenuEntries(const PageMenuContext& c) {
    const bool webLink = c.link.isValid() && (c.link.scheme() == QLatin1String("http") ||
                                              c.link.scheme() == QLatin1String("https"));
    QList<PageMenuEntry> entries{
        {PageCommand::Back, QStringLiteral("后退"), c.canGoBack, 0},
        {PageCommand::Forward, QStringLiteral("前进"), c.canGoForward, 0},
        {PageCommand::Reload, QStringLiteral("刷新"), true, 0},
        {PageCommand::Copy, QStringLiteral("复制"), c.hasSelection, 1},
        {PageCommand::Paste, QStringLiteral("粘贴"), c.editable, 1},
    };
    if (c.link.isValid()) {
        entries.append({PageCommand::CopyLink, QStringLiteral("复制链接地址"), true, 2});
        // Only web links open in a window of ours; others go nowhere.
        entries.append(
            {PageCommand::OpenLinkInNewWindow, QStringLiteral("在新窗口中打开链接"), webLink, 2});
    }
    if (c.image)
        entries.append({PageCommand::SaveImage, QStringLiteral("图片另存为..."), true, 3});
    entries.append({PageCommand::Print, QStringLiteral("打印..."), true, 4});
    return entries;
}
